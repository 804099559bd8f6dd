#include "runtime/Runtime.h"

void RuntimeInit() {
  static bool done = false;
  if (done) return;
  done = true;
}
