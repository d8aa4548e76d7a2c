// Entry points for hosts that want the download manager's About window or the
// download prompt without going through COM.
#include <windows.h>

extern "C" BOOL WINAPI DllShowAboutDialog() {
  // The program locator is not built, so no download manager is found and,
  // as then, nothing is started; the answer is TRUE either way.
  return TRUE;
}

extern "C" BOOL WINAPI DllShowOpenDialog(HWND /*owner*/, LPCSTR /*url*/, LPCSTR /*fileName*/) {
  // The prompt's dialog is not built: it fails as a dialog that cannot be
  // created, which is never a go-ahead.
  return FALSE;
}
