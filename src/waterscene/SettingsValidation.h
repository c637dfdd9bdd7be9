// The editor's rules for the values a heightmap, normal map or geometry is
// built from, applied to a settings record (a loaded save file) instead of the
// menus: the create buttons' rule rows (ComponentRules.h), plus the limits the
// components themselves refuse (resolutions, 16-bit index ranges).
#pragma once

#include <optional>
#include <string>

#include "waterscene/ComponentRules.h"
#include "settings/cEngineSettings.h"

// The first value that breaks a rule: its save-file key and why.
struct SettingsProblem {
  std::string key;
  std::string reason;
};

// `check` as for the menus: ValueCheck::FixedAtCreation for a state being
// loaded skips the values handed over every frame (a negative speed runs).
// Heightmap type 0 (none) passes; any other must be a known generator.
std::optional<SettingsProblem> CheckHeightmapSettings(const cEngineSettings& settings, ValueCheck check);
// A normal map needs a heightmap; the FFT one needs the FFT heightmap.
std::optional<SettingsProblem> CheckNormalmapSettings(const cEngineSettings& settings, ValueCheck check);
std::optional<SettingsProblem> CheckGeometrySettings(const cEngineSettings& settings, ValueCheck check);

// The three checks above, in that order.
std::optional<SettingsProblem> CheckComponentSettings(const cEngineSettings& settings, ValueCheck check);
