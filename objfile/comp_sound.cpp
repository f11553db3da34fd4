// Packed sound as the application sees it: the packer entry points.
//
// The library decodes packed sound when it loads a sound object, but packs
// none: whatever produces packed sound lies outside it. The two entry points
// stay for the applications that link them.
#include <vekkit/objfile.h>

DWORD VEKAPI vekPackSound(DWORD_PTR, DWORD_PTR, DWORD_PTR, DWORD_PTR)
{
    return 0;
}

DWORD VEKAPI vekUnpackSound(DWORD_PTR, DWORD_PTR)
{
    return 0;
}
