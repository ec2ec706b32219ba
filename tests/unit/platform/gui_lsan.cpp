// The font library keeps a cache it never frees; that is not our leak.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\n";
}
