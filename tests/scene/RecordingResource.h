// A resource that writes every call it receives into a shared log.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "scene/iResource.h"

class RecordingResource : public iResource {
 public:
  RecordingResource(std::string name, std::vector<std::string>* log, cResourceManager* manager)
      : iResource(manager), name(std::move(name)), log(log) {}
  ~RecordingResource() override { Write("delete"); }

  void OnLostDevice() override { Write("lost"); }
  void Destroy() override { Write("destroy"); }
  void OnResetDevice(IDirect3DDevice9* device) override {
    resetDevice = device;
    Write("reset");
    if (onReset) onReset(device);
  }

  IDirect3DDevice9* resetDevice = nullptr;
  std::function<void(IDirect3DDevice9*)> onReset;  // runs inside OnResetDevice

 private:
  void Write(const char* call) { log->push_back(name + ":" + call); }

  std::string name;
  std::vector<std::string>* log;
};
