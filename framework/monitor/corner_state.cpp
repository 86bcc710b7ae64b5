#include "framework/monitor/corner_state.h"

static LONG NowBit(int corner) { return 0x10L << (2 * corner); }
static LONG NeverBit(int corner) { return 0x20L << (2 * corner); }

int DecodeCornerState(LONG style, int corner)
{
    bool now = (style & NowBit(corner)) != 0;
    bool never = (style & NeverBit(corner)) != 0;
    if (now && !never)
        return CORNER_NOW;
    if (never && !now)
        return CORNER_NEVER;
    return CORNER_DEFAULT;
}

LONG EncodeCornerStates(LONG style, const int states[4])
{
    style &= ~0xFF0L;
    for (int corner = 0; corner < 4; corner++) {
        if (states[corner] == CORNER_NOW)
            style |= NowBit(corner);
        else if (states[corner] == CORNER_NEVER)
            style |= NeverBit(corner);
    }
    return style;
}
