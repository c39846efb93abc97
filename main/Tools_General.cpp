// Tools_General: the symmetry and image-driver key commands.
//
// Reads:   Command_State.Command_Code, Display_Field (Symmetry_Mode, Symmetry_Type).
// Writes:  Display_Field (Symmetry_Mode, Symmetry_Type, through ALLOCATE_ARRAYS the display
//          arrays), Command_State (Command_Code, Time_Step_Command), Output_Settings
//          (Image_Driver, Image_Extension, Image_Driver_Name).
// Stops the program (STOP_PROGRAM) when the arrays cannot be had again.

#include "main/Tools_General.h"

#include <string>
#include <string_view>

#include "records/Allocation_Checks.h"
#include "records/Command_Codes.h"
#include "records/Console.h"
#include "records/Globals.h"
#include "result_files/Display_Arrays.h"
#include "result_files/Read_Results.h"

void TOGGLE_SYMMETRY() {
  auto& field = Display_Field;
  auto& command = Command_State.Command_Code;
  auto toggled = [&](std::int32_t mode) { field.Symmetry_Mode = field.Symmetry_Mode == mode ? 1 : mode; };
  switch (command) {
    case Command::Cycle_Symmetry:
      if (field.Symmetry_Mode >= 1 && field.Symmetry_Mode <= 4) field.Symmetry_Mode = field.Symmetry_Mode % 4 + 1;
      break;
    case Command::Three_Folded: toggled(3); break;
    case Command::Four_Folded: toggled(2); break;
    case Command::Nine_Folded: toggled(4); break;
    case Command::Symmetry_Kind: field.Symmetry_Type = field.Symmetry_Type % 2 + 1; break;
    default: break;
  }
  auto report = [](std::string_view text) {
    CONSOLE_EMPTY();
    CONSOLE_LINE(text);
    CONSOLE_EMPTY();
  };
  if (command >= Command::Cycle_Symmetry && command <= Command::Nine_Folded) {
    static constexpr std::string_view Mode_Texts[] = {
        " Symmetry toggled off", " Four-folded symmetry toggled on", " Three-folded symmetry toggled on",
        " Nine-folded symmetry toggled on"};
    if (field.Symmetry_Mode >= 1 && field.Symmetry_Mode <= 4) report(Mode_Texts[field.Symmetry_Mode - 1]);
    if (field.Array_to_be_displayed.ALLOCATED())
      CHECK_DEALLOCATION("Array_to_be_displayed", field.Array_to_be_displayed.RELEASE());
    ALLOCATE_ARRAYS();
  } else if (command == Command::Symmetry_Kind) {
    report(field.Symmetry_Type == 1 ? " 'Mirroring' domain for symmetry" : " 'Translation' of domain for symmetry");
  }
  Command_State.Time_Step_Command = 0;
  READ_RESULTS();
  command = Command::Replot;
}

void CHANGE_IMAGE_DRIVER() {
  auto& output = Output_Settings;
  switch (Command_State.Command_Code) {
    case Command::Image_Driver_Key_T:
    case Command::Image_Driver_Key_O:
      break;
    case Command::Image_Driver_Gif:
      output.Image_Driver = "/GIF";
      output.Image_Extension = "gif";
      output.Image_Driver_Name = "'GIF'";
      break;
    case Command::Image_Driver_PostScript:
      output.Image_Driver = "/VCPS";
      output.Image_Extension = "ps";
      output.Image_Driver_Name = "PostScript";
      break;
    default:
      CONSOLE_LINE(" CHANGE_IMAGE_DRIVER: unknown command code " + std::to_string(Command_State.Command_Code));
      return;
  }
  CONSOLE_LINE(" Image_Driver: " + output.Image_Driver_Name);
  CONSOLE_EMPTY();
}
