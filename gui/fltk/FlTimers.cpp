#include "gui/fltk/FlTimers.h"

#include <FL/Fl.H>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "gui/core/Event.h"

namespace {
struct TPendingTimer {
  intptr_t id;
  ObjectRef source;
};

// The timers FLTK has been asked for; FLTK's timeout carries the id only, so
// a stopped timer that still fires finds nothing.
std::vector<TPendingTimer> pending;
intptr_t lastId = 0;

void Fire(void* data) {
  const auto id = reinterpret_cast<intptr_t>(data);
  auto found = std::find_if(pending.begin(), pending.end(), [id](const TPendingTimer& t) { return t.id == id; });
  if (found == pending.end()) return;
  ObjectRef source = found->source;
  pending.erase(found);
  TEvent::Create(TimerTick, source)->Emit();
}
}  // namespace

void FlStartTimer(int32_t ms, const ObjectRef& source) {
  FlStopTimer(source);
  const intptr_t id = ++lastId;
  pending.push_back({id, source});
  Fl::add_timeout(std::max(ms, 0) * 0.001, Fire, reinterpret_cast<void*>(id));
}

void FlStopTimer(const ObjectRef& source) {
  for (auto it = pending.begin(); it != pending.end();) {
    if (it->source == source) {
      Fl::remove_timeout(Fire, reinterpret_cast<void*>(it->id));
      it = pending.erase(it);
    } else {
      ++it;
    }
  }
}
