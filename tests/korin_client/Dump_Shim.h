/* Dump_Shim.h - compiled into a dumped drawing (-include) to look at its window: at its pause
 * the pixels named in DUMP_PIXELS ("x y;x y;...") are written to DUMP_OUT, one colour value a
 * line, and its end closes the server at once. */
#include "korin_client/Korin.h"

#ifdef __cplusplus
extern "C" {
#endif
int dump_pause(const char* text);
int dump_quit(void);
#ifdef __cplusplus
}
#endif

#define KRpause dump_pause
#define KRquit dump_quit
