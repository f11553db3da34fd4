// The classic tree-searching LZSS encoder, written the straightforward way:
// one binary tree per first byte, strings compared byte by byte, separate
// child and parent arrays, the stream gathered group by group. It is the
// baseline the library's encoder is measured against and must equal byte for
// byte (the ring's unset bytes taken as 0x00, as the library does).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace classic {

class LzssEncoder {
public:
    std::vector<uint8_t> encode(const uint8_t *src, size_t count)
    {
        std::vector<uint8_t> stream;
        if (count == 0) return stream;
        for (int i = N + 1; i <= N + 256; i++) rson[i] = NIL;
        for (int i = 0; i < N; i++) dad[i] = NIL;
        for (int i = 0; i < N - F; i++) text[i] = ' ';
        for (int i = N - F; i < N + F - 1; i++) text[i] = 0;

        uint8_t code[17] = {0};
        int codePtr = 1;
        uint8_t mask = 1;
        int s = 0, r = N - F;
        size_t in = 0;
        int len = 0;
        while (len < F && in < count) text[r + len++] = src[in++];
        for (int i = 1; i <= F; i++) insertNode(r - i);
        insertNode(r);
        do {
            if (matchLength > len) matchLength = len;
            if (matchLength <= THRESHOLD) {
                matchLength = 1;
                code[0] |= mask;
                code[codePtr++] = text[r];
            } else {
                code[codePtr++] = static_cast<uint8_t>(matchPosition);
                code[codePtr++] = static_cast<uint8_t>(((matchPosition >> 4) & 0xF0) | (matchLength - (THRESHOLD + 1)));
            }
            if ((mask <<= 1) == 0) {
                stream.insert(stream.end(), code, code + codePtr);
                code[0] = 0;
                codePtr = 1;
                mask = 1;
            }
            const int last = matchLength;
            int i = 0;
            for (; i < last && in < count; i++) {
                const uint8_t c = src[in++];
                deleteNode(s);
                text[s] = c;
                if (s < F - 1) text[s + N] = c;
                s = (s + 1) & (N - 1);
                r = (r + 1) & (N - 1);
                insertNode(r);
            }
            while (i++ < last) {
                deleteNode(s);
                s = (s + 1) & (N - 1);
                r = (r + 1) & (N - 1);
                if (--len) insertNode(r);
            }
        } while (len > 0);
        if (codePtr > 1) stream.insert(stream.end(), code, code + codePtr);
        return stream;
    }

private:
    static constexpr int N = 4096, F = 18, THRESHOLD = 2, NIL = N;

    void insertNode(int r)
    {
        int cmp = 1;
        const uint8_t *key = &text[r];
        int p = N + 1 + key[0];
        rson[r] = lson[r] = NIL;
        matchLength = 0;
        for (;;) {
            if (cmp >= 0) {
                if (rson[p] != NIL) {
                    p = rson[p];
                } else {
                    rson[p] = r;
                    dad[r] = p;
                    return;
                }
            } else {
                if (lson[p] != NIL) {
                    p = lson[p];
                } else {
                    lson[p] = r;
                    dad[r] = p;
                    return;
                }
            }
            int i;
            for (i = 1; i < F; i++)
                if ((cmp = key[i] - text[p + i]) != 0) break;
            if (i > matchLength) {
                matchPosition = p;
                if ((matchLength = i) >= F) break;
            }
        }
        dad[r] = dad[p];
        lson[r] = lson[p];
        rson[r] = rson[p];
        dad[lson[p]] = r;
        dad[rson[p]] = r;
        if (rson[dad[p]] == p) rson[dad[p]] = r;
        else lson[dad[p]] = r;
        dad[p] = NIL;
    }

    void deleteNode(int p)
    {
        int q;
        if (dad[p] == NIL) return;
        if (rson[p] == NIL) {
            q = lson[p];
        } else if (lson[p] == NIL) {
            q = rson[p];
        } else {
            q = lson[p];
            if (rson[q] != NIL) {
                do q = rson[q];
                while (rson[q] != NIL);
                rson[dad[q]] = lson[q];
                dad[lson[q]] = dad[q];
                lson[q] = lson[p];
                dad[lson[p]] = q;
            }
            rson[q] = rson[p];
            dad[rson[p]] = q;
        }
        dad[q] = dad[p];
        if (rson[dad[p]] == p) rson[dad[p]] = q;
        else lson[dad[p]] = q;
        dad[p] = NIL;
    }

    uint8_t text[N + F - 1];
    int lson[N + 1], rson[N + 257], dad[N + 1];
    int matchPosition = 0, matchLength = 0;
};

}  // namespace classic
