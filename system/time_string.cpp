// Durations as short English text ("1 hr,2 min,5 sec.", "3 minutes").
#include <windows.h>

#include <vekkit/system.h>

void VEKAPI vekMakeTimeStr(WORD seconds, WORD limit, WORD mode, LPSTR out)
{
    if (mode != 0 && limit <= seconds) {
        lstrcpyA(out, "One Save");
        return;
    }
    // mode 1: seconds only; 2: minutes and seconds; else hours too.
    unsigned h = 0, m = 0, s = seconds;
    if (mode == 2) {
        m = seconds / 60u;
        s = seconds % 60u;
    } else if (mode != 1) {
        h = seconds / 3600u;
        m = seconds % 3600u / 60u;
        s = seconds % 3600u % 60u;
    }

    // The largest text, "18 hr,12 min,15 sec.", has 20 characters.
    if (h && m && s)
        wsprintfA(out, "%d hr,%d min,%d sec.", h, m, s);
    else if (h && m)
        wsprintfA(out, "%d hr,%d min.", h, m);
    else if (h == 1)
        lstrcpyA(out, "1 hour");
    else if (h)
        wsprintfA(out, "%d hours", h);
    else if (m && s)
        wsprintfA(out, "%d min,%d sec.", m, s);
    else if (m == 1)
        lstrcpyA(out, "1 minute");
    else if (m)
        wsprintfA(out, "%d minutes", m);
    else if (s != 1)
        wsprintfA(out, "%d seconds", s);
    else
        lstrcpyA(out, "1 second");
}
