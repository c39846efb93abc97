// Request_Deferral.h - which requests may wait in a batch: those whose reply is the window
// number whenever it is not a reserved one, that ask the user nothing and that leave the window
// block as the client can foresee. Drawing objects, point lists and their commit are such;
// waits, picks, inquiries, boxes, transfers of bitmaps and anything that asks for a colour or a
// font are not.
#pragma once

#include "platform/Channel_Blocks.h"

// True when the request of `letter` with the sub-code and arguments in `b` may be deferred.
bool KRdeferrable(char letter, const channel::KRwinblock& b);

// What the server writes into the block when it serves a deferrable request, done in place so
// that the next request reads the block as it would after a reply.
void KRas_served(char letter, channel::KRwinblock& b);
