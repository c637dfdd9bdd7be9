// Where the GPU time of a frame goes, pass by pass, in a diagnostic build
// (cmake -DEDITOR_PASS_TIMING=ON): each change of pass waits for the GPU to
// finish the work queued so far and charges the time since the last change to
// the pass that ends. That wait serialises CPU and GPU, so such a build is
// slower than a normal one; there every call here is an empty inline function.
#pragma once

#include <map>
#include <string>

namespace platform {

#ifdef EDITOR_PASS_TIMING
// Work from now on belongs to `pass` (a string literal); returns the pass it
// replaces, so a nested step can hand the time back.
const char* BeginPass(const char* pass);
// Seconds charged to each pass since the last call, real time as "gl:pass"
// and CPU time of the whole process as "cpu:pass"; starts a new count.
std::map<std::string, double> TakePassTimes();
#else
inline const char* BeginPass(const char*) { return nullptr; }
inline std::map<std::string, double> TakePassTimes() { return {}; }
#endif

// Charges the work of a scope to `pass`, then gives the pass back.
class PassScope {
 public:
  explicit PassScope(const char* pass) : previous_(BeginPass(pass)) {}
  ~PassScope() { BeginPass(previous_); }
  PassScope(const PassScope&) = delete;
  PassScope& operator=(const PassScope&) = delete;

 private:
  const char* previous_;
};

}  // namespace platform
