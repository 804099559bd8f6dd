#pragma once

#include <atomic>
#include <string>

// While watchedSecret is set, every block freed through operator delete is
// searched for it first, and each place it still stands counts in
// secretsFreed: a buffer freed unwiped is caught there.
extern std::atomic<const std::string*> watchedSecret;
extern std::atomic<int> secretsFreed;
