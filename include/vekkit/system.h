/*
 * vekkit system helpers: library initialisation and MIDI playback, registry
 * values by path, shell shortcuts, file paths, the open and save file
 * dialogs, ANSI string helpers, dialog centring and time strings.
 *
 * MIDI playback, the registry helpers and the file dialogs keep
 * process-wide state and buffers (the MIDI flags and message buffer, the
 * remembered value, the last message, the dialogs' copies of their
 * arguments): use them from one thread at a time.
 */
#ifndef VEKKIT_SYSTEM_H
#define VEKKIT_SYSTEM_H

#include <vekkit/records.h>

/* Library frame and MIDI. Only MIDI needs initialising. vekkitInit binds
   mciSendString and mciGetErrorString of the already loaded module
   "MMSYSTEM" (when there is one) and creates the hidden window that
   receives MCI notifications; the thread that calls it must run a message
   loop for the idle flag to follow the end of a file and for looping. */

/* Always 1. The first call (of those not matched by vekkitCleanup) binds
   MCI and creates the hidden window. */
VEKKIT_EXPORT SHORT VEKAPI vekkitInit(void);
/* Always 1. The call that matches the first vekkitInit destroys the hidden
   window; a file still playing is not closed. */
VEKKIT_EXPORT SHORT VEKAPI vekkitCleanup(void);
/* Registers the window class "Goofy Window" and creates the hidden window
   (not visible, 100 x 100 at 0, 0); remembers and returns it. */
VEKKIT_EXPORT HWND VEKAPI seticonhwnd(void);
/* The hidden window's procedure: MM_MCINOTIFY ends "playing" and restarts
   a looping file; WM_DESTROY ends it too. */
VEKKIT_EXPORT LRESULT VEKAPI fakewindowproc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

/* The MIDI calls that return LPSTR return null on success, else the
   library's 512-byte message buffer holding the reason: "DEDIVEZID has not
   been set up." (no MCI, or no hidden window), "Another file is playing."
   or MCI's error text. */

/* Opens file with the sequencer under alias (at most 127 characters) and
   plays it once, or for ever when loop is non-zero. */
VEKKIT_EXPORT LPSTR VEKAPI vekPlayMIDI(LPCSTR file, LPCSTR alias, BOOL loop);
/* Stops looping and closes the current file; the idle flag follows when
   its notification arrives. The argument is not used. */
VEKKIT_EXPORT void VEKAPI vekCloseMIDI(DWORD unused);
/* 1 when alias (ignoring case) names the file now playing. */
VEKKIT_EXPORT BOOL VEKAPI vekIsMIDIPlaying(LPCSTR alias);
/* Plays the current file again from its start. The argument is not used. */
VEKKIT_EXPORT LPSTR VEKAPI vekRestartMIDI(DWORD unused);

/* Registry. A path is an optional root prefix ("*" or "HKEY_LOCAL_MACHINE\"
   for HKEY_LOCAL_MACHINE, "HKEY_CURRENT_USER\", "HKEY_CLASSES_ROOT\",
   "HKEY_USERS\", "HKEY_CURRENT_CONFIG\", "HKEY_DYN_DATA\", compared ignoring
   case; none: HKEY_CURRENT_USER), then key names separated by "\" or "/",
   then the value name (empty after a final separator: the key's default
   value). Key names hold at most 255 characters. When window is not null,
   failures are shown in a message box titled "Yikes". */

/* Creates the keys on the path and sets the value to size bytes of data of
   the given type (REG_SZ, REG_DWORD, REG_BINARY, ...). With data null,
   deletes the key of that name (which must have no subkeys) or else the
   value of that name. 1 on success, 0 on failure. */
VEKKIT_EXPORT BOOL VEKAPI SetRegValue(HWND window, LPCSTR path, const BYTE *data, DWORD size, DWORD type);

/* Reads a value into a new zero-filled 2048-byte locked GMEM_MOVEABLE block
   that the caller frees; *size receives the bytes read and *type the type.
   A value that is missing or larger than the block gives the block all zero
   (with *size at most 2048). Null when a key on the path cannot be opened
   (then *size = 0) or memory runs out.
   A colon right after the root prefix (":Software\App\DataDir") remembers
   the value as text; every "%s" of a later path is replaced by the text
   remembered last ("%%" gives "%"). A remembered value without data, or
   longer than 511 characters, remembers the empty string instead, and the
   first case shows "Necessary Key "<path>" has no value" when window is not
   null. A path longer than 511 characters after substitution fails like a
   key that cannot be opened. */
VEKKIT_EXPORT void *VEKAPI GetRegValue(HWND window, LPCSTR path, DWORD *size, DWORD *type);

/* Shell shortcuts. COM must be initialised on the calling thread. */

/* Writes the shortcut file linkFile pointing at target with the given
   description. S_OK or the first failing HRESULT. */
VEKKIT_EXPORT HRESULT VEKAPI vekCreateShortcut(LPCSTR target, LPCSTR linkFile, LPCSTR description);

/* Reads linkFile, lets the shell find a target that has moved, and copies
   the target's short path into targetOut (260 bytes), which is emptied
   first and stays empty unless every step succeeds. */
VEKKIT_EXPORT HRESULT VEKAPI vekResolveShortcut(HWND window, LPCSTR linkFile, LPSTR targetOut);

/* Paths. */

/* out = base directory + "\" + name, or name alone. base bit 0: the folder
   of module's file; bit 1: the Windows directory; bit 2: the System
   directory (the lowest bit set wins). out must hold 256 bytes plus the
   length of name; a base directory that leaves no room for the separator
   is dropped (out = name). Always 1. */
VEKKIT_EXPORT SHORT VEKAPI BuildFilePath(HMODULE module, LPCSTR name, WORD base, LPSTR out);

/* create non-zero: _lcreat(path, 0); else _lopen(path, mode). */
VEKKIT_EXPORT HFILE VEKAPI FilePathOpen(LPCSTR path, SHORT mode, BOOL create);

/* 1 if path is a non-empty string, else 0. */
VEKKIT_EXPORT BOOL VEKAPI FilePathCheckValid(LPCSTR path);

/* Empties path. Always 1. */
VEKKIT_EXPORT BOOL VEKAPI FilePathInvalidate(LPSTR path);

/* Reduces a path or wildcard pattern to its directory, in place: a trailing
   backslash goes; "\*.ext" with a three-letter extension at the end goes; else
   everything from the first asterisk on goes, with a backslash before it. */
VEKKIT_EXPORT void VEKAPI vekValidatePath(LPSTR path);

/* The part of path after its last backslash or colon (index 0 is not
   looked at); path itself when there is none. */
VEKKIT_EXPORT LPCSTR VEKAPI vekStripPath(LPCSTR path);

/* 1 if OpenFile(path, OF_EXIST) finds the file, else 0. */
VEKKIT_EXPORT BOOL VEKAPI vekFileExists(LPCSTR path);

/* File dialogs. file holds the proposed name and receives the choice (512
   bytes for GetOpenFile, 256 for GetSaveFile). filter is pairs of
   description and pattern, each followed by the separator character that
   ends the string ("Bitmaps|*.bmp|All|*.*|"). A filter of 128 characters
   or more, or an initial directory of 256 or more, is refused: 0 without a
   dialog. Non-zero when the user chose a file. */
VEKKIT_EXPORT BOOL VEKAPI GetOpenFile(HWND owner, LPSTR file, LPCSTR initialDir, LPCSTR filter);
VEKKIT_EXPORT BOOL VEKAPI GetSaveFile(HWND owner, LPSTR file, LPCSTR initialDir, LPCSTR filter);

/* Strings. Case folding touches only the ASCII letters. */
VEKKIT_EXPORT LPSTR VEKAPI lstrupr(LPSTR s);
VEKKIT_EXPORT LPSTR VEKAPI lstrlwr(LPSTR s);
/* The first c in s; null if none, if s is empty or if c is 0. */
VEKKIT_EXPORT LPSTR VEKAPI lstrchr(LPCSTR s, char c);
/* The first (lstrstr) or last (lrstrstr) occurrence of sub in s ignoring
   case; null when either is null or there is none. An empty sub is found
   at the start of s (lstrstr) and at its terminator (lrstrstr). */
VEKKIT_EXPORT LPSTR VEKAPI lstrstr(LPCSTR s, LPCSTR sub);
VEKKIT_EXPORT LPSTR VEKAPI lrstrstr(LPCSTR s, LPCSTR sub);

/* Dialogs and durations. */

/* Moves dialog, unsized, so that it is centred on the window rectangle of
   its parent (GetParent; the screen when it has none), then back onto the
   screen: a left or top edge before 0 goes to 0, and a right or bottom edge
   past the screen's is moved onto it (that rule wins for a dialog larger
   than the screen). The result of SetWindowPos. */
VEKKIT_EXPORT BOOL VEKAPI vekCenterDlg(HWND dialog);

/* Writes seconds as English text into out (at most 21 bytes with the
   terminator). mode 1 gives seconds only ("90 seconds"), mode 2 minutes and
   seconds ("1 min,30 sec."), any other mode hours as well ("1 hr,2 min,5
   sec.", "2 hours": hours without minutes drop the seconds). With mode not
   0 and limit <= seconds, the text is "One Save". */
VEKKIT_EXPORT void VEKAPI vekMakeTimeStr(WORD seconds, WORD limit, WORD mode, LPSTR out);

#endif
