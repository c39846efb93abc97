// Qt_Messages.h - keeps Qt's own chatter off kornd's standard error.
//
// kornd's standard error is its client's console: lines such as "This plugin does not support
// propagateSizeHints()" from the offscreen platform, or the run-time folder notice, would land
// among the display program's messages. Qt's debug, info and warning messages are dropped;
// critical and fatal ones pass. kornd's own lines are written directly and are not affected.
#pragma once

void QUIET_QT_MESSAGES();
