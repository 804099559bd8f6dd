#pragma once

#include <cstdint>

class Fl_Widget;
typedef struct _XDisplay Display;

// The widget layer's entry points: the handlers the widget templates call and
// the FLTK event that a widget is handling at the moment.

using FlEventHandlerFunc = int (*)(int flEvent);
using FlKeyFilterFunc = int (*)(int32_t handle);
using FlWidgetHandlerFunc = int (*)(Fl_Widget* widget, int32_t handle);

// Attaches FLTK to an already open display and sets up fonts, scheme and
// handlers. The event handler becomes an FLTK global handler when given.
void InitFlBackEnd(Display* display, FlEventHandlerFunc eventHandler, FlKeyFilterFunc keyFilter,
                   FlWidgetHandlerFunc mouseHandler, FlWidgetHandlerFunc keyHandler);

// The FLTK event number a widget template is handling, 0 outside such handling.
extern int currentFlEvent;
// currentFlEvent when it is set, otherwise FLTK's own last event number.
int CurrentFlEvent();

// Widgets carry the object handle of their gadget as user data.
int32_t FlUserHandle(const Fl_Widget* widget);
void* FlHandleData(int32_t handle);
int32_t FlDataHandle(const void* data);

// Calls into the handlers given to InitFlBackEnd; each answers 0 when none is set
// (the key filter answers 1: no filter lets every key through).
int FlRunKeyFilter(int32_t handle);
// Whether the key being pressed is the shortcut of an item of a menu bar in
// widget's window. Such a key is the menu's: a text widget would otherwise
// take some of them (Ctrl+L goes into FLTK's inputs as a form feed).
bool FlIsMenuShortcut(const Fl_Widget* widget);
int FlRunMouseHandler(Fl_Widget* widget, int32_t handle);
int FlRunKeyHandler(Fl_Widget* widget, int32_t handle);
