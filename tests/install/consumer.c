/* Makes a sprite image record through the installed library and checks its
   header: exit status 0 when the package works. */
#include <vekkit.h>
#include <stdio.h>

int main(void)
{
    HSPRITEDATA image = vekCreateSpriteDataObject(5, 3);
    if (!image) {
        puts("no record");
        return 1;
    }
    if (image[22] != 5 || image[26] != 3 || image[32] != 8) {
        puts("wrong header");
        return 1;
    }
    GlobalUnlock(GlobalHandle(image));
    GlobalFree(GlobalHandle(image));
    puts("consumer ok");
    return 0;
}
