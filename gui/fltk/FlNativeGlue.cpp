#include "gui/fltk/FlNativeGlue.h"

#include <FL/Fl.H>
#include <FL/Fl_File_Chooser.H>
#include <FL/fl_ask.H>

int FlMessageBox(const std::string& text, int kind) {
  switch (kind) {
    case 0:
      fl_message("%s", text.c_str());
      return 0;
    case 1:
      fl_alert("%s", text.c_str());
      return 0;
    case 2:
      return fl_choice("%s", "No", "Yes", nullptr, text.c_str());
    case 3:
      return fl_choice("%s", "Cancel", "No", "Yes", text.c_str());
    default:
      return kind;
  }
}

namespace {
std::optional<std::string> RunChooser(const std::string& title, const std::string& filter, const std::string& path,
                                      int type) {
  Fl_File_Chooser chooser(path.empty() ? nullptr : path.c_str(), filter.empty() ? nullptr : filter.c_str(), type,
                          title.c_str());
  // The files picked here are exports full of passwords: the chooser must
  // never show their content. The check button that would turn the preview
  // back on (and remember it for the next chooser) goes away with it.
  chooser.preview(0);
  chooser.previewButton->deactivate();
  chooser.previewButton->hide();
  chooser.show();
  while (chooser.shown()) Fl::wait();
  if (chooser.count() <= 0 || !chooser.value()) return std::nullopt;
  return std::string(chooser.value());
}
}  // namespace

std::optional<std::string> FlFileChooser(const std::string& title, const std::string& filter, const std::string& path,
                                         int save) {
  return RunChooser(title, filter, path, save != 0 ? Fl_File_Chooser::CREATE : Fl_File_Chooser::SINGLE);
}

std::optional<std::string> FlDirChooser(const std::string& title, const std::string& path) {
  return RunChooser(title, "*", path, Fl_File_Chooser::DIRECTORY);
}

void FlWaitEvents(int ms) {
  if (ms < 0) {
    // Fl::wait() alone returns at once while no window is shown, which would
    // make a waiting loop spin; a wait with a far limit still wakes for the
    // display, timers and watched descriptors such as the wake-up pipe.
    Fl::wait(1e20);
  } else {
    Fl::wait(ms * 0.001);
  }
}
