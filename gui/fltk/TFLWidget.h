#pragma once

#include <cstdint>
#include <memory>

#include "gui/core/Gadget.h"

class Fl_Widget;
class Fl_Group;
class Fl_RGB_Image;

// Widget kind codes handed to CreateFlWidget (the `fltype` of a widget gadget).
constexpr int32_t FlKindWindow = 0;
constexpr int32_t FlKindMenuBar = 1;
constexpr int32_t FlKindButton = 2;
constexpr int32_t FlKindCheckButton = 3;
constexpr int32_t FlKindRoundButton = 4;
constexpr int32_t FlKindToggleCheck = 5;
constexpr int32_t FlKindToggleRadio = 6;
constexpr int32_t FlKindReturnButton = 7;
constexpr int32_t FlKindPanel = 8;
constexpr int32_t FlKindPanel2 = 9;
constexpr int32_t FlKindInput = 10;
constexpr int32_t FlKindSecretInput = 11;
constexpr int32_t FlKindTabs = 12;
constexpr int32_t FlKindClientGroup = 13;
constexpr int32_t FlKindPack = 14;
constexpr int32_t FlKindHoldBrowser = 15;
constexpr int32_t FlKindMultiBrowser = 16;
constexpr int32_t FlKindChoice = 17;
constexpr int32_t FlKindTextEditor = 18;
constexpr int32_t FlKindTextDisplay = 19;
constexpr int32_t FlKindHelpView = 20;
constexpr int32_t FlKindBox = 21;
constexpr int32_t FlKindGroup = 22;
constexpr int32_t FlKindProgress = 23;
constexpr int32_t FlKindSlider = 24;
constexpr int32_t FlKindScrollbar = 25;
constexpr int32_t FlKindSpinner = 26;
constexpr int32_t FlKindCanvas = 27;
constexpr int32_t FlKindInputChoice = 28;
constexpr int32_t FlKindTree = 29;
constexpr int32_t FlKindRepeatButton = 30;

// Query codes answered by widget gadgets.
constexpr int32_t QueryWidget = 5;  // the gadget's own FLTK widget
constexpr int32_t QueryClient = 6;  // the FLTK group that holds the children

// The common base of every FLTK-backed gadget. It holds one FLTK widget, finds
// itself again from that widget through the object handle stored as the
// widget's user data, and keeps FLTK's widget tree in step with the gadget tree.
class TFLWidget : public TGadget {
 public:
  TFLWidget() = default;
  ~TFLWidget() override;

  // Builds an inner widget of the given kind for a gadget's own use (a
  // window's menu bar). align and box are applied when 0 or more.
  virtual Ref<TFLWidget> CreateWidget(int32_t kind, const String& text, int32_t x, int32_t y, int32_t w, int32_t h,
                                      const Ref<TGadget>& parentGadget, int32_t align, int32_t box);
  virtual Fl_Widget* WidgetHandle();
  // Creates the FLTK widget of kind `fltype` inside the parent's client group.
  virtual int32_t InitWidget();
  virtual int32_t Redraw();
  virtual int32_t RemoveChild(const Ref<TGadget>& kid);
  virtual int32_t AddChild(const Ref<TGadget>& kid);
  // Queues one redraw for the next poll, however often it is called before it.
  virtual int32_t SetDirty();
  virtual int32_t SetOrigin(int32_t x, int32_t y);
  // Position relative to the enclosing FLTK window.
  virtual int32_t AbsoluteX();
  virtual int32_t AbsoluteY();
  virtual int32_t OnCallback();
  virtual int32_t OnMouse();
  virtual int32_t OnKey();
  // The FLTK callback of every widget: user data is the gadget's object handle.
  static void CallbackHandler(Fl_Widget* widget, void* handle);
  static int MouseHandler(Fl_Widget* widget, int32_t handle);
  static int KeyHandler(Fl_Widget* widget, int32_t handle);
  // An FLTK image of a pixmap (null for none or an empty one); the caller owns it.
  static Fl_RGB_Image* ImageFromPixmap(const Ref<TPixmap>& pixmap);
  // "#RRGGBB" for a colour.
  static String _RGBHex(int32_t r, int32_t g, int32_t b);
  // The deepest widget gadget under (x, y), given relative to this gadget's
  // client area; none when the point lies outside it.
  virtual Ref<TGadget> FindChildAtCoords(int32_t x, int32_t y);

  int32_t Rethink() override;
  int32_t SetText(const String& text) override;
  String GetText() override;
  int32_t SetTooltip(const String& tip) override;
  String GetTooltip() override;
  int32_t SetShape(int32_t x, int32_t y, int32_t w, int32_t h) override;
  int32_t SetColor(int32_t r, int32_t g, int32_t b) override;
  int32_t RemoveColor() override;
  int32_t SetTextColor(int32_t r, int32_t g, int32_t b) override;
  int32_t SetShow(int32_t flag) override;
  int32_t ClientWidth() override;
  int32_t ClientHeight() override;
  int32_t Free() override;
  int32_t CountKids() override;
  // 5 and 6 answer the object handle of the gadget whose widget QueryWidget
  // gives (0 when there is none): widget pointers do not fit the integer result.
  int32_t Query(int32_t code) override;

  // The FLTK widget for a query code: 5 the own widget, 6 the client's widget
  // when there is a client, else the own one; null for other codes.
  Fl_Widget* QueryWidgetHandle(int32_t code);
  // The group new child widgets go into (the client group, or this widget).
  Fl_Group* ChildGroup();
  // The object handle, allocated on first use (the object must be owned by a Ref).
  int32_t ObjHandle();
  // The gadget a handle names, when it is a widget gadget.
  static Ref<TFLWidget> FromHandle(int32_t handle);
  // The gadget whose handle an FLTK user-data pointer carries, or none.
  static Ref<TFLWidget> FromData(const void* data);
  // The gadget behind an FLTK widget (through its user data), or none.
  static Ref<TFLWidget> FromWidget(const Fl_Widget* widget);
  // The own FLTK widget as class W; null when there is none or it is another class.
  template <class W>
  W* FlWidget() const {
    return dynamic_cast<W*>(flhandle);
  }

  int32_t fltype = 0;
  Fl_Widget* flhandle = nullptr;  // owned through FLTK: deleted by Free
  int32_t flkey = 0;
  int32_t tag = 0;
  std::unique_ptr<char[]> tooltip;
  int32_t originx = 0;
  int32_t originy = 0;
  Ref<TFLWidget> client;
  int32_t dirty = 0;
  int32_t objhandle = 0;
};

// The widget gadget of a gadget, or none when it is not FLTK-backed.
inline Ref<TFLWidget> AsFLWidget(const Ref<TGadget>& gadget) { return std::dynamic_pointer_cast<TFLWidget>(gadget); }
