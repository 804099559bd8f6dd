#pragma once

#include <FL/Fl_Box.H>

#include <string>
#include <vector>

// A box for static labels that can underline its label. FLTK has no
// underlined faces, so the line is drawn here under every line of the label
// text, at the place where FLTK draws that line for the label's alignment.
class Fl_LabelBox : public Fl_Box {
 public:
  Fl_LabelBox(int x, int y, int w, int h, const char* label = nullptr);

  bool Underlined() const { return underlined; }
  // Takes effect with the next redraw.
  void SetUnderlined(bool flag) { underlined = flag; }

  // The lines FLTK draws for text in a label area maxWidth wide (wrapping at
  // spaces when wrap is set), with the current fl_font. "@@" counts as "@".
  static std::vector<std::string> LabelLines(const char* text, int maxWidth, bool wrap);

 protected:
  void draw() override;

 private:
  void DrawUnderline();

  bool underlined = false;
};
