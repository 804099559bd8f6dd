#pragma once

#include <FL/Fl_Group.H>

class Fl_Image;

// A group that draws a frame with its label sitting on the top frame line,
// an optional background picture, and clips its children to the inside.
class Fl_Panel : public Fl_Group {
 public:
  // Picture placement: centred and scaled by the smaller ratio, stretched to
  // the panel, or scaled by the larger ratio; any other mode tiles unscaled.
  enum { ImageFit = 2, ImageStretch = 3, ImageFill = 4 };

  Fl_Panel(int x, int y, int w, int h, const char* label = nullptr);
  ~Fl_Panel() override;

  // Keeps a copy of the picture (none clears it) and rebuilds the drawn image.
  void SetImage(const Fl_Image* image, int mode);
  // Rebuilds the drawn image from the source for the current size and state.
  void RebuildImage();
  const Fl_Image* DrawnImage() const { return drawnImage; }
  int ImageMode() const { return imageMode; }

  bool ColorGiven() const { return colorGiven; }
  void SetColorGiven(bool given) { colorGiven = given; }
  bool Sensitive() const { return sensitive; }
  void SetSensitive(bool flag) { sensitive = flag; }
  bool Enabled() const { return enabled; }
  // Records the enabled state; the picture is dimmed while disabled.
  void SetEnabled(bool flag);

  // Height of the label strip at the top edge (0 without a label).
  int LabelStripHeight() const;

 protected:
  void draw() override;

 private:
  void LabelRect(int& lx, int& ly, int& lw, int& lh) const;

  Fl_Image* sourceImage = nullptr;
  Fl_Image* drawnImage = nullptr;
  int imageMode = 0;
  bool colorGiven = false;
  bool sensitive = false;
  bool enabled = true;
};
