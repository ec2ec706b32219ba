// Fontconfig keeps a few allocations for the life of the process; they are
// not ours and would fail every painting test under the leak checker.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libfontconfig\n";
}
