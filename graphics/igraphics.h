#pragma once
// The platform-independent editor: it owns the controls and the draw
// surface, decides what repaints, routes mouse and key events to controls
// and links controls with the plug-in's parameters both ways.
//
// Everything that needs an operating system (window, timer, in-place entry,
// dialogs, paths, image resources) is one of the abstract "OS slots" below;
// each window host implements them: IGraphicsWin (graphics/win32),
// X11Graphics (graphics/x11) and HeadlessGraphics (graphics/headless).
// Nothing in this class calls an operating system.
//
// Threads: every operation runs on the editor's thread, except
// PushParamToControls and HideParamControls, which the plug-in also calls
// from the audio thread (automation, presets, Sync reactions). Those two only
// publish into per-parameter atomic mailboxes and never touch a control;
// the editor thread takes the mail over (SyncFromPlugin) before it routes an
// event or checks for a redraw. They never allocate, lock or wait.
#include <atomic>
#include <functional>
#include <memory>
#include <vector>

#include "framework/editor_link.h"
#include "graphics/icontrol.h"
#include "graphics/igraphics_types.h"

namespace selvarin {

class IAudioPlugin;
class IParamEntry;
class RasterSysBitmap;
class PromptPopup;

class IGraphics : public EditorLink {
 public:
  IGraphics(IAudioPlugin* plug, int width, int height, int frameRate);
  ~IGraphics() override;
  IGraphics(const IGraphics&) = delete;
  IGraphics& operator=(const IGraphics&) = delete;

  // ---- OS slots (a window host implements them) ----
  // Copies the draw surface's rectangle to the window.
  virtual bool PresentSurface(const IArea& rect) = 0;
  virtual void Resize(int width, int height);
  virtual bool HasEditorWindow() { return EditorWindowHandle() != nullptr; }
  virtual void OpenTextEntry(IControl* control) = 0;
  // In-place entry of a parameter's value over the control.
  virtual void BeginValueEntry(IControl* control, IParamEntry* param, bool centred) = 0;
  // Folder paths (with their trailing separator); empty when unknown.
  virtual void HostExecutablePath(char* out, int capacity) = 0;
  virtual void ModuleFolderPath(char* out, int capacity) = 0;
  virtual void AskForFile(char* inOut, int capacity, int action, const char* startFolder,
                          const char* extensions) = 0;
  virtual bool AskForColor(IRgba* inOut, const char* caption) = 0;
  virtual bool OpenWebAddress(const char* url, const char* caption, const char* confirmText,
                              const char* errorText) = 0;
  virtual bool OnHostMouseWheel(float delta) { (void)delta; return false; }
  void StartEditEndTimer(int ticks) override = 0;
  void CancelEditEndTimer() override = 0;
  virtual int OptionalQuery() { return 0; }
  virtual void* CreateEditorWindow(void* parent) = 0;
  virtual void DestroyEditorWindow() = 0;
  virtual void* EditorWindowHandle() = 0;
  virtual void SuppressDisabledTooltips() = 0;
  // Decodes the image resource; the caller (the bitmap cache) owns it.
  virtual RasterBitmap* LoadPlatformImage(int resourceId, const char* name) = 0;
  // The display scale changed (the surface already has its new size): the
  // window host resizes its window and what it keeps of the surface.
  virtual void OnScaleChanged() {}

  // ---- set-up ----
  void PrepareSurface() override;
  int AddControl(IControl* control);
  void SetBackgroundImage(int resourceId, const char* name);
  void RemoveControl(IControl* control);
  IImage LoadImageResource(int resourceId, const char* name, int frames);
  // The image of an id loaded before; an id never loaded gives an image
  // without raster (drawing it draws nothing).
  IImage CachedImage(int resourceId);

  // ---- drawing (into the draw surface) ----
  bool BlitImage(const IImage& image, const IArea& dest, int srcX, int srcY, const IBlendMode* blend);
  bool BlitImageFrame(const IImage& image, const IArea& dest, int frame, const IBlendMode* blend, bool framesVertical);
  bool BlitRotatedImage(const IImage& image, int centreX, int centreY, double angle, const IBlendMode* blend,
                        float srcX, float srcY);
  bool DrawLineSegment(const IRgba& colour, float x1, float y1, float x2, float y2, const IBlendMode* blend,
                       bool antialias);
  bool OutlineRoundedRect(const IRgba& colour, const IArea& rect, int radius, const IBlendMode* blend,
                          bool antialias);
  bool FillRoundedRect(const IRgba& colour, const IArea& rect, int radius, int corners, const IBlendMode* blend,
                       bool antialias);
  bool FillArea(const IRgba& colour, const IArea& rect, const IBlendMode* blend);
  bool DrawStyledText(ITextStyle* style, const char* text, IArea rect);
  RasterFont* CacheFontFace(ITextStyle* style);

  // ---- parameter link ----
  // Any thread (the audio thread included): publishes only.
  void PushParamToControls(int paramIdx, double value, bool normalized) override;
  void HideParamControls(int paramIdx, bool hide) override;
  // Editor thread: the controls take the value as if entered by the user.
  void ForwardControlValue(int paramIdx, double normalized) override;
  int FrameRate() const override { return frameRate_; }
  void CommitEnteredText(IControl* control, IParamEntry* param, const char* text);
  void MarkBackgroundDirty();
  // Editor thread: hands what the audio thread published to the controls.
  void SyncFromPlugin();
  // True while the host has an edit of the parameter open from this editor:
  // a held press, or a wheel burst waiting for its end.
  bool HostEditOpen(int paramIdx) const;
  // Editor thread, under the plug-in lock: forgets a value published for
  // the parameter and not yet taken over (a user edit replaces it).
  void DropPublishedValue(int paramIdx);

  // ---- events (editor thread, client coordinates) ----
  bool OnMouseDown(int x, int y, const IPointerState& mod);
  void OnMouseUp(int x, int y, const IPointerState& mod);
  void OnMouseDrag(int x, int y, const IPointerState& mod);
  bool OnMouseDoubleClick(int x, int y, const IPointerState& mod);
  void OnMouseWheel(int x, int y, const IPointerState& mod, int delta);
  bool OnMouseOver(int x, int y, const IPointerState& mod);
  void OnMouseOut();
  void OnKeyDown(int x, int y, int key);
  void OnFileDrop(int x, int y, const char* path);

  // ---- redraw ----
  // The redraw model: the union of the dirty controls' rectangles, and a
  // pass that repaints every control overlapping the update rectangle.
  bool NeedsRedraw(IArea* rect);
  bool Draw(const IArea& rect);
  // The same pass for a set of disjoint rectangles inside that union: the
  // dirty rectangles with overlapping ones merged (at most `max`; beyond
  // that they merge into fewer). A host that can invalidate several
  // rectangles repaints only these, so a turning knob does not repaint
  // everything between it and the always-dirty indicators.
  // `extra`, when given, is repainted too (an area a closed entry uncovered).
  int DirtyRects(IArea* out, int max, const IArea* extra = nullptr);
  bool DrawRects(const IArea* rects, int count);
  void EndMouseCapture();
  void ClosePopup(bool itemChosen);
  int ControlIndexAt(int x, int y);
  int ControlIndexOf(const IControl* control) const;

  // ---- display scale ----
  // Device pixels per layout pixel, 1 to 4 (1 until told otherwise).
  // Controls, events and the drawing calls above keep the layout's
  // coordinates; the draw surface (and the window a host shows it in) has the
  // scaled size, and images, text, lines and fills are drawn at that size.
  double Scale() const { return scale_; }
  // NaN or a factor not above 0 changes nothing and answers false; other
  // factors are limited to 1..4. A new factor resizes the draw surface, tells
  // the window host (OnScaleChanged) and repaints everything at the next tick.
  bool SetScale(double factor);
  // The editor's size in device pixels: round(width * scale), round(height * scale).
  int ScaledWidth() const { return ToDevice(width_); }
  int ScaledHeight() const { return ToDevice(height_); }
  // A layout coordinate (or rectangle) in device pixels: round(v * scale).
  int ToDevice(int v) const { return scale_ == 1.0 ? v : RoundNearest(v * scale_); }
  IArea ToDevice(const IArea& r) const { return IArea{ToDevice(r.L), ToDevice(r.T), ToDevice(r.R), ToDevice(r.B)}; }
  // The layout pixel a device pixel belongs to (the one whose device area
  // holds it), and the layout rectangle whose device area covers a device
  // rectangle. Window hosts turn the window system's positions into the
  // editor's with these before anything reaches a control.
  int ToLayout(int deviceV) const;
  IArea LayoutCovering(const IArea& device) const;
  // The raster that draws the image at the current scale (the image's own
  // at 1); none when the image has none.
  RasterBitmap* ScaledRaster(const IImage& image);

  // ---- accessors ----
  IAudioPlugin* Plugin() const { return plug_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  int NControls() const { return static_cast<int>(controls_.size()); }
  IControl* Control(int i) const {
    return i >= 0 && i < NControls() ? controls_[static_cast<size_t>(i)] : nullptr;
  }
  RasterSysBitmap* Surface() const { return surface_.get(); }
  const IArea& DrawRect() const { return drawRect_; }
  int CaptureIndex() const { return captureIdx_; }
  // The open pop-up list, the just-closed marker, or none.
  IControl* OpenPopup() const { return openPopup_; }
  void SetOpenPopup(IControl* popup) { openPopup_ = popup; }
  bool HasOpenPopupReference() const { return openPopup_ != nullptr; }
  void ClearOpenPopup() { openPopup_ = nullptr; }
  bool handleMouseOver = false;
  int mouseOverIdx = -1;
  ITextStyle popupTextStyle;
  IRgba popupBackground{245, 50, 50, 50};
  IRgba popupHighlight{75, 200, 200, 200};
  bool tooltipsEnabled = false;
  bool acceptFileDrops = false;
  bool RightButtonDown() const { return rightButtonDown_; }
  // Runs before the controls are deleted (destruction, Resize): whoever
  // keeps pointers into them (the engine's indicator and label links) lets
  // go of them. Called under the plug-in lock.
  std::function<void()> releaseControlLinks;

 private:
  struct ParamMail {
    std::atomic<double> normalized{0.0};
    std::atomic<bool> valueWaiting{false};
    std::atomic<int> hideWanted{-1};  // -1 nothing, 0 show, 1 hide
  };
  static_assert(std::atomic<double>::is_always_lock_free, "values cross threads lock-free");

  void ReleaseCapture();
  void DeleteControls();
  // Ends a press edit the host never saw released and begins one for the
  // pressed control's parameter (none for -1).
  void BeginPressEdit(int param);
  // The font for the style at the current scale; none when none can be made.
  RasterFont* ScaledFont(ITextStyle* style);

  IAudioPlugin* plug_;
  std::vector<IControl*> controls_;
  std::unique_ptr<RasterSysBitmap> surface_;
  IArea drawRect_;
  int width_;
  int height_;
  int frameRate_;
  int captureIdx_ = -1;
  int lastX_ = 0, lastY_ = 0;
  bool rightButtonDown_ = false;
  int gestureParam_ = -1;  // parameter whose edit the last press began
  bool pressClosedList_ = false;  // the last press chose in a list that closed
  IControl* openPopup_ = nullptr;
  std::unique_ptr<ParamMail[]> mail_;
  int nMail_ = 0;
  std::atomic<bool> mailWaiting_{false};
  double scale_ = 1.0;
  // Rasters of this editor's images at the current scale (the cache owns
  // them, except those of images that never went through it).
  struct ScaledImage {
    RasterBitmap* image;
    RasterBitmap* scaled;
  };
  std::vector<ScaledImage> scaledImages_;
  std::vector<std::unique_ptr<RasterBitmap>> ownScaled_;
};

// Frames a value the editor sends on its own (a typed value, a list choice,
// a value re-sent when an entry closes) as one whole host edit; when an edit
// of the parameter is open already the value belongs to that one, so the
// host never sees one parameter's edits nested.
class HostEditScope {
 public:
  HostEditScope(const IGraphics* g, IAudioPlugin* plug, int paramIdx);
  ~HostEditScope();
  HostEditScope(const HostEditScope&) = delete;
  HostEditScope& operator=(const HostEditScope&) = delete;

 private:
  IAudioPlugin* plug_ = nullptr;
  int param_ = -1;
};

// The marker ClosePopup leaves when a list was dismissed without a choice:
// it matches no control.
IControl* JustClosedPopupMarker();

}  // namespace selvarin
