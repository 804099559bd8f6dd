#pragma once

#include <cstdint>
#include <memory>

class TObject;

// Small, stable, non-zero integers for objects, for places that can only carry
// an integer (FLTK user data). The table holds weak references: once an object
// is gone its handle finds nothing. Handles are never reused, so a late callback
// can never reach a different object through an old handle.
int32_t HandleFromObject(const std::shared_ptr<TObject>& object);  // 0 for none
std::shared_ptr<TObject> HandleToObject(int32_t handle);           // none when gone
void HandleForget(int32_t handle);
