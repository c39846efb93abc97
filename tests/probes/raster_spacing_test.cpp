// The raster spacing dialog: its preset, the answers it keeps and refuses.
#include <gtest/gtest.h>
#include "probes/Write_ASCII_Output.h"
