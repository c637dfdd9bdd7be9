// The application: Direct3D object and device, display modes, the frame with
// device-loss recovery, input events from the window, timers and the scene.
#pragma once

#include <initializer_list>
#include <string>
#include <vector>

#include "editor/cCamera.h"
#include "editor/cFrameRateCounter.h"
#include "base/cTimer.h"
#include "waterscene/cWaterScene.h"
#include "editor/EngineDescriptions.h"
#include "editor/MenuRow.h"
#include "gui/cMenu.h"
#include "gui/cTextarea.h"
#include "platform/d3dx9.h"
#include "scene/cBorrowedTexture.h"
#include "scene/cFont.h"
#include "scene/cResourceCache.h"
#include "scene/cSkybox.h"

class cSpriteContainer;

class cEditor {
 public:
  // Built once each, owned here; the GUI manager only borrows them.
  struct Menus {
    cMenu* selection = nullptr;
    cMenu* toolbar = nullptr;
    cMenu* heightmap = nullptr;
    cMenu* normalmap = nullptr;
    cMenu* geometry = nullptr;
    cMenu* ffpEngine = nullptr;
    cMenu* sm1Engine = nullptr;
    cMenu* sm2Engine = nullptr;
    cMenu* sm3Engine = nullptr;
    cMenu* newState = nullptr;
    cMenu* exit = nullptr;
    cMenu* settings = nullptr;
    cMenu* save = nullptr;
    cMenu* load = nullptr;
    cMenu* info = nullptr;
  };
  // Seconds taken by the last measured pipeline steps.
  struct StepTimings {
    float heightmapUpdate = 0.0f;
    float heightmapWrite = 0.0f;
    float geometryExtrusion = 0.0f;
    float normalmapCompute = 0.0f;
    float normalmapWrite = 0.0f;
    float engineRender = 0.0f;
  };
  // Which engine types the device can run.
  struct Capabilities {
    bool ffp = true;
    bool sm1 = true;
    bool sm2 = true;
    bool sm3 = true;
  };
  struct Timers {
    cTimer simulation;
    cTimer frameRate;
    cTimer movement;
    cTimer stopwatch;
  };
  // What the toolbar's preview windows show; they own nothing.
  struct Previews {
    cBorrowedTexture heightmap;
    cBorrowedTexture normalmap;
  };

  // The single editor, created on first use.
  static cEditor* Instance();
  static void DeleteInstance();

  // Creates the full-screen device and sets the scene up; throws cException
  // when Direct3D cannot be used.
  HRESULT Init(HWND window);
  // One frame; E_FAIL when a pending display-mode change failed.
  HRESULT Frame();
  bool ChangeDisplayMode(D3DDISPLAYMODE mode);
  bool SetDeviceStates();
  void CheckCapabilities();
  bool SetProjection();
  void DrawFps();
  bool IsQuitRequested() const { return quitRequested; }
  // Font heights for a back buffer this wide: "arial" and "Tahoma".
  static int SmallFontHeight(UINT width);
  static int LargeFontHeight(UINT width);

  // A key typed for the GUI: a GUIKey code, or a lower-case letter when the code is 0.
  struct TypedKey {
    unsigned code = 0;
    char character = 0;
    bool operator==(const TypedKey&) const = default;
  };
  // At most this many typed keys wait for a frame; more are dropped (no frame runs while the device is lost).
  static constexpr size_t kMaxTypedKeys = 256;

  // The key event list (held keys, Tab and the mouse button) never holds two equal codes.
  void AddKey(unsigned code);
  void RemoveKey(unsigned code);
  // Appends to the typed keys, repeats kept.
  void TypeKey(TypedKey key);

  IDirect3D9* d3d = nullptr;
  D3DPRESENT_PARAMETERS presentParameters{};
  D3DDISPLAYMODE displayMode{};
  IDirect3DDevice9* device = nullptr;
  bool deviceLost = false;
  bool modeChangePending = false;
  D3DDISPLAYMODE pendingMode{};
  bool quitRequested = false;
  Capabilities supported;
  std::vector<D3DDISPLAYMODE> displayModes;  // full-screen modes at least 800 wide
  std::vector<unsigned> keyEvents;           // GUIKey codes in order of arrival
  std::vector<TypedKey> typedKeys;           // for the GUI, in order of arrival
  bool flyMode = false;
  bool screenshotRequested = false;          // F12: the frame is saved once drawn
  cFont* smallFont = nullptr;  // owned by the resource manager
  cFont* largeFont = nullptr;
  Timers timers;
  cFrameRateCounter frameRate;
  StepTimings timings;
  D3DXMATRIX projection{};
  D3DXMATRIX viewProjection{};
  cWaterScene waterScene;
  cResourceCache* resourceCache = nullptr;

  // ---- Editor front: selection screen, menus, camera, input, GUI drawing ----
  // (cEditorInput.cpp, cEditorSelection.cpp, cEditorMenus.cpp, cEditorGUI.cpp)
  bool HasKey(unsigned code) const;
  // Removes the code; true when it was there.
  bool TakeKey(unsigned code);
  // Pixel (client area) to GUI coordinates through the projection.
  D3DXVECTOR2 CursorToGUI(POINT pixel) const;
  // Camera view times projection, kept in viewProjection.
  const D3DXMATRIX* GetViewProjection();
  // Typed keys and the cursor to the GUI, W/A/S/D movement, Tab, one trace line.
  void ProcessInput();
  // Draws the info line, then puts the fly-mode hint into it for the next frame.
  void UpdateHintText();
  // Every menu's callback lands here; ids 1001 to 1005 and 1060 are handled
  // here, every other id goes to OnEditorCommand.
  void OnGUIEvent(int eventId, iGUIComponent* source);
  // The menu of the current engine type; null before it is built.
  cMenu* EngineMenu() const;
  cMenu* FindMenu(int menuId) const;
  // Menu 100 from the capability flags and the descriptions.
  void BuildSelectionMenu();
  // Builds every menu not built yet (the engine menu of the current type only),
  // refreshes the engine items and pushes the toolbar.
  void BuildMenus();
  // The geometry list and the toolbar's engine icon for the current engine type.
  void RefreshEngineItems();
  // The load list from the save folder: ".txt" files by name, without the extension.
  void FillLoadList();
  // Every menu built so far.
  std::vector<cMenu*> AllMenus() const;

  cCamera* camera = nullptr;
  int engineType = 0;  // EngineTypeId chosen on the selection screen; 0 before
  cSpriteContainer* spriteContainer = nullptr;  // owned by the resource manager
  cTextarea infoLine;
  EngineDescriptions engineDescriptions;
  Menus menus;

  // ---- Per-frame pipeline and scene (cEditorPipeline.cpp, cEditorRender.cpp) ----
  // The component step of Update, last in it.
  void UpdatePipeline();
  // Sky, island, passes, water and the frame rate; runs only with an editor
  // menu (not the selection screen) on top of the GUI.
  void RenderWaterScene();
  // The heightmap and normal map previews of the toolbar, right before the GUI.
  void UpdatePreviews();
  // The sky cube, made at start-up before the cache exists.
  void CreateSkybox();
  // The face set: set 1's images from the cache in face order (files 1, 2, 3, 4, 6, 5).
  void FindSkyFaces();
  // Runs `call` between a stopwatch Reset and Tick; its seconds go to `stepTime`.
  template <class Call>
  void Timed(float& stepTime, Call call) {
    timers.stopwatch.Reset();
    call();
    timers.stopwatch.Tick();
    stepTime = timers.stopwatch.total;
  }

  cSkybox* skybox = nullptr;  // owned by the resource manager
  D3DTexture* skyFaces[cSkybox::FaceCount] = {};
  Previews previews;

  // ---- Commands, validation and creation (cEditorCommands.cpp, cEditorValidation.cpp, cEditorCreate.cpp,
  // cEditorLoad.cpp) ----
  // Every event id other than those of the selection screen.
  void OnEditorCommand(int eventId);
  // Per-frame validation of the menus, create buttons, warnings and statistics.
  void UpdateComponentStatus();
  // Each true only while its menu is on top and every value passes its rules.
  bool ValidateHeightmapMenu();
  bool ValidateNormalmapMenu();
  bool ValidateGeometryMenu();
  bool ValidateFFPEngineMenu();
  bool ValidateSM1EngineMenu();
  bool ValidateSM2EngineMenu();
  bool ValidateSM3EngineMenu();
  // Each replaces its component by one built from its menu; `model` is a HeightmapTypeId.
  void CreateHeightmap(int model);
  void CreateNormalmap();
  void CreateGeometry();
  void CreateEngine();
  // The target of every ticked pass of the engine menu that has none yet.
  void MakePassTargets();
  // Every built menu back to its state right after building.
  void ResetMenus();
  // Why a loaded record cannot be rebuilt whole: the first component it holds
  // that could not be made, and the reason; empty when every one can.
  std::wstring LoadRefusal(const cEngineSettings& settings) const;
  // Writes a loaded record that LoadRefusal accepts into the menus and rebuilds
  // its components as the user would.
  void LoadIntoMenus(const cEngineSettings& settings);

  int currentSkySet = 0;  // 0-based

 private:
  cEditor();
  ~cEditor();

  void CreateDirect3D();
  void FillPresentParameters(HWND window);
  void CreateDevice(HWND window);
  void ListDisplayModes();
  void SetUpScene();
  bool SupportsVertexTextures(const D3DCAPS9& caps);
  bool ResetLostDevice();
  bool RestoreDevice();
  bool DrawFrame();
  // The back buffer, GUI included, as a PNG in the screenshot folder; the
  // info line says where it went or why it could not be saved (cEditorScreenshot.cpp).
  void SaveScreenshot();
  void Update();
  // W/A/S/D: along the view direction and the view's right axis.
  void MoveCamera();
  void RenderScene();
  // Editor front, private part.
  void SetUpSelectionScreen();
  void PreloadTextures(std::initializer_list<const wchar_t*> names);
  void PreloadButtons(std::initializer_list<const wchar_t*> names);
  // False when the menu already exists.
  bool BuildMenu(cMenu*& menu, int menuId, const std::vector<MenuRow>& rows);
  void FillResolutionList();
  // Events of the selection screen; false for every other id.
  bool OnSelectionEvent(int eventId);
  void ChooseEngine(int type);
  void DrawGUI();
  void DeleteMenus();
  // Per-frame pipeline, private part.
  void UpdateNormalmap();
  void UpdateHeightmap();
  bool HeightmapTextureNeeded() const;
  void UpdateGeometryValues();
  void UpdateEngineValues();
  void UpdateHeightmapPreview();
  // Commands, validation and creation, private part.
  bool OnToolbarCommand(int eventId);
  bool OnPanelSwitch(int eventId);
  cMenu* MenuOrEngineMenu(int menuId) const;
  void PlaceEngineCreateButton();
  void ShowHeightmapModel();
  void HideNormalmapPanels();
  void ShowNormalmapMethod();
  void ShowGeometryType();
  void CreateHeightmapCommand(int type);
  void FillNormalmapMethods(int heightmapType);
  void StartNewState();
  void ShowInformation(const wchar_t* text);
  void SaveState();
  bool WriteSaveFile(const std::string& path);
  void LoadState();
  void ApplySettings();
  void ChangeSky(int sky);
  void ShowNotice(const wchar_t* text);
  void DisplayNotice();
  int MaxTextureSize() const;
  // The box holds a texture edge the device can make: a power of two up to its largest.
  bool IsTextureSizeIn(const cMenu* menu, int box) const;
  // What the create buttons require of their menu's values.
  bool HeightmapValuesValid() const;
  bool NormalmapValuesValid() const;
  bool GeometryValuesValid() const;
  bool EngineValuesValid() const;
  bool ValidateEngineMenu(int type);
  bool ValidateCurrentEngineMenu();
  void UpdateCreateButtons(cMenu* menu, std::initializer_list<int> buttons, bool (cEditor::*validate)(),
                           const wchar_t* warning);
  void UpdateGeometryStatistics();
  void UpdateToolbarMarkers();
  int EngineCreateButton() const;
  void RepointGeometry(const cEngineSettings& state);
  void DeleteHeightmap();
  void DeleteNormalmap();
  void DeleteGeometry();
  void DeleteEngine();
  void DeleteComponents();
  void SetCheckbox(cMenu* menu, int id, bool checked, int eventId);
  void LoadHeightmapIntoMenu(const cEngineSettings& settings);
  void LoadNormalmapIntoMenu(const cEngineSettings& settings);
  void LoadGeometryIntoMenu(const cEngineSettings& settings);
  void LoadEngineIntoMenu(const cEngineSettings& settings);

  std::wstring notice;      // shown in the info line until noticeUntil (simulation seconds)
  float noticeUntil = 0.0f;
};
