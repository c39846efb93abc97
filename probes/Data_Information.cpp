// Data_Information: the dispatcher of the console information commands.
//
// Reads:  Command_State.Command_Code, Result_Set.Number_Of_Solutions.
// Writes: through the commands it runs.

#include "probes/Data_Information.h"

#include "probes/Scan_Line.h"
#include "records/Command_Codes.h"

void DATA_INFORMATION() {
  switch (Command_State.Command_Code) {
    case Command::Info_Distance:
      VIRTUAL_EDX_SELECT(false);
      DATA_INFORMATION_DISTANCE();
      break;
    case Command::Info_Angle_Sides:
    case Command::Info_Angle_Horizontal:
    case Command::Info_Angle_Vertical:
      DATA_INFORMATION_ANGLE();
      break;
    case Command::Info_Coordinates:
      SCAN_POINT_SELECT(false);
      DATA_INFORMATION_COORDINATES();
      break;
    case Command::Info_Extrema:
      DATA_INFORMATION_AVERAGE();
      break;
    case Command::Info_Compare:
    case Command::Info_Compare_All:
      if (Result_Set.Number_Of_Solutions > 1) DATA_INFORMATION_COMPARE();
      break;
    case Command::Info_Cell_Pointer:
      DATA_INFORMATION_CELL_POINTER();
      break;
    case Command::Info_Version:
      DATA_INFORMATION_VERSION();
      break;
    case Command::Info_Geometry:
      DATA_INFORMATION_GEOMETRY();
      break;
    default:
      break;
  }
}
