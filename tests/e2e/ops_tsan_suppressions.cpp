// g++ 12's std::timed_mutex waits with pthread_mutex_clocklock, which this
// ThreadSanitizer runtime does not intercept: it never sees the lock taken and
// reports every unlock (and the data the lock guards) as misuse. These
// suppressions cover exactly that lock, the capture device list's.
#if defined(__SANITIZE_THREAD__)
extern "C" const char* __tsan_default_suppressions() {
  return "mutex:std::timed_mutex::unlock\n"
         "race:cswitchcomm::LookupDeviceName\n"
         "race:cswitchcomm::PrepareDeviceList\n"
         "race:cswitchcomm::CommFindDevices\n";
}
#endif
