// Extrema: extrema of the result files and the colour-scale commands.
//
// Reads:   Result_Set (Result_Format, Sequential_Reading, Extrema_Mode, Global_Minimum,
//          Global_Maximum, Buffer_Array_*, names), Result_Geometry, Command_State,
//          Display_Field (zoom window, Array_to_be_displayed), Display_Settings,
//          Vector_Settings; the result units.
// Writes:  Command_State (Time_Step_Command, Command_Code), Result_Set (Computed_*,
//          Current_*, Selected_Solutions, Extrema_Mode, and through READ_OUTPUT the
//          counts and Buffer_Array_*), Vector_Settings intensities.
// Asks:    which files, and typed limits, through the readers' dialogs (Reader_Dialogs.h),
//          which also rebuild a stepwise colour scale after new limits.

#include "result_files/Extrema.h"

#include <algorithm>
#include <cmath>  // std::fabs, std::isnan
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "records/Console.h"
#include "records/Globals.h"
#include "result_files/Input_Layer.h"
#include "result_files/Read_GeoF.h"
#include "result_files/Read_Results.h"
#include "result_files/Reader_Dialogs.h"
#include "text/Fortran_Format.h"
#include "text/Free_Form.h"

namespace {

[[noreturn]] void set_off_stop(const char* line) {
  CONSOLE_EMPTY(2);
  CONSOLE_LINE(line);
  CONSOLE_EMPTY(2);
  STOP_PROGRAM();
}

struct Range {
  double minimum = 0.0, maximum = 0.0;
  bool any = false;
};

// Extremes of file i's read buffer; NaN values are passed over.
template <typename Real>
Range buffer_range(const Bounded_Array<Real, 4>& buffer, std::int32_t i) {
  const auto& g = Result_Geometry;
  const std::int64_t cells = std::int64_t{g.AnzX} * g.AnzY * g.AnzZ;
  const Real* v = &buffer(i, 1, 1, 1);
  Range range;
  Real lo = 0, hi = 0;
  std::int64_t k = 0;
  while (k < cells && std::isnan(v[k])) ++k;
  if (k == cells) return range;
  lo = hi = v[k];
  for (; k < cells; ++k) {
    lo = v[k] < lo ? v[k] : lo;
    hi = v[k] > hi ? v[k] : hi;
  }
  range.minimum = lo;
  range.maximum = hi;
  range.any = true;
  return range;
}

Range output_range(std::int32_t i) {
  const auto& r = Result_Set;
  switch (r.Result_Format) {
    case 1: case 3: case 4: case 6: return buffer_range(r.Buffer_Array_Single, i);
    case 2: case 5: case 7: return buffer_range(r.Buffer_Array_Double, i);
    default: set_off_stop(" Unrecognised format!");
  }
}

void widen(Range& total, const Range& more) {
  if (!more.any) return;
  if (!total.any) {
    total = more;
    return;
  }
  total.minimum = std::min(total.minimum, more.minimum);
  total.maximum = std::max(total.maximum, more.maximum);
}

}  // namespace

void FIND_EXTREMA(bool start_up, std::int32_t i, int unit, float& minimum, float& maximum) {
  auto& r = Result_Set;
  auto& command = Command_State.Time_Step_Command;
  const bool sequential = r.Sequential_Reading;
  const bool text = r.Result_Format == 3;
  auto& counter = r.Time_Step_Number(i);
  float time = 0.0f;
  bool end = false;
  command = 1;

  if (start_up && r.Extrema_Mode != 4) {
    if (r.Extrema_Mode == 3) {
      command = 2;
      for (end = false; !end;) {
        if (!sequential) ++counter;
        READ_OUTPUT(i, time, end, !text);
      }
      if (sequential && !text && counter > 0) {
        if (!UNIT(unit).BACKSPACE()) set_off_stop(" Unable to 'backspace'!");
        --counter;
      } else if (!sequential) {
        --counter;
      }
      command = 1;
    } else if (!sequential) {
      counter = 1;
    }
    if (!(r.Extrema_Mode == 3 && text)) READ_OUTPUT(i, time, end, false);
  }

  Range range;
  if (start_up && r.Extrema_Mode == 4) {
    range = {r.Global_Minimum, r.Global_Maximum, true};
  } else {
    range = output_range(i);
  }

  if (!start_up || r.Extrema_Mode == 1) {
    // Every other output once. Outside start-up the walk wraps around to the output it
    // started from; it also ends after one full wrap when the file has shrunk below it.
    const std::int32_t stop = counter;
    bool wrapped = false;
    do {
      if (!sequential) ++counter;
      READ_OUTPUT(i, time, end, false);
      if (!end) {
        widen(range, output_range(i));
        continue;
      }
      if (start_up || wrapped) break;
      wrapped = true;
      if (sequential) {
        if (!UNIT(unit).REWIND()) set_off_stop(" Unable to 'rewind'!");
      }
      counter = 0;
    } while (counter != stop);
  }

  float lo = static_cast<float>(range.minimum), hi = static_cast<float>(range.maximum);
  if (std::fabs(hi - lo) < 1.0e-5f) {
    if (std::fabs(hi) < 1.0e-5f) {
      lo = -5.0e-6f;
      hi = 5.0e-6f;
    } else if (hi > 0.0f) {
      lo *= 0.999995f;
      hi *= 1.000005f;
    } else {  // negative limits move apart by magnitude too, keeping lower < upper
      lo *= 1.000005f;
      hi *= 0.999995f;
    }
  }
  minimum = lo;
  maximum = hi;
}

// ---------------------------------------------------------------- colour-scale commands
namespace {

// One real read in free form from a typed text; false when it does not read as one.
bool read_number(const std::string& text, float& value) {
  return READ_REAL_FROM_TEXT(text, value) == Free_Form_Status::Ok;
}

// The value shown in the form: 1P,G15.7 in a 20-character field.
Text_Field form_text(float value) { return Text_Field{FORMAT_LINE("(1P,G15.7)", {value}), 20}; }

std::string trimmed(std::string text) {
  text.erase(text.find_last_not_of(' ') + 1);
  return text;
}

}  // namespace

void READ_EXTREMA(std::int32_t mode, std::int32_t i) {
  auto& r = Result_Set;
  const std::string title = "\\fi" + trimmed(r.Name_To_Be_Displayed(i)).substr(0, 97);
  const bool range_form = mode == 2;
  const char* label_1 = range_form ? "\\fiMedian value:    " : "\\fiMinimum value:   ";
  const char* label_2 = range_form ? "\\fiRange:           " : "\\fiMaximum value:   ";
  float first = range_form ? (r.Current_Min(i) + r.Current_Max(i)) * 0.5f : r.Current_Min(i);
  float second = range_form ? r.Current_Max(i) - r.Current_Min(i) : r.Current_Max(i);
  std::array<Text_Field, 2> values{form_text(first), form_text(second)};
  reader_dialogs::READ_TWO_STRINGS(title, {label_1, label_2}, values);
  read_number(values[0].text, first);
  read_number(values[1].text, second);
  if (range_form) {
    r.Current_Min(i) = first - second * 0.5f;
    r.Current_Max(i) = first + second * 0.5f;
  } else {
    r.Current_Min(i) = first;
    r.Current_Max(i) = second;
  }
}

void EXTREMA() {
  auto& r = Result_Set;
  const std::int32_t n = r.Number_Of_Solutions;
  const std::int32_t code = Command_State.Command_Code;
  std::int32_t first = 0;
  if (n <= 1) {
    r.Selected_Solutions.FILL(true);
    first = 1;
  } else {
    std::vector<std::string> names;
    for (int i = 1; i <= n; ++i) names.push_back(r.Name_To_Be_Displayed(i));
    const std::vector<bool> chosen = reader_dialogs::SELECT_STRINGS("Select solution(s)", names);
    for (int i = n; i >= 1; --i) {
      r.Selected_Solutions(i) = chosen[i - 1];
      if (chosen[i - 1]) first = i;
    }
  }
  auto report = [&](const char* words) {
    CONSOLE_EMPTY();
    for (int i = 1; i <= n; ++i)
      if (r.Selected_Solutions(i)) CONSOLE_LINE(" " + trimmed(r.Name_To_Be_Displayed(i)) + words);
  };

  switch (code) {
    case 1:  // s+m: typed minimum and maximum
    case 2:  // s+r: typed median and range
      if (first != 0) {
        READ_EXTREMA(code, first);
        for (int i = 1; i <= n; ++i)
          if (r.Selected_Solutions(i)) {
            r.Current_Min(i) = r.Current_Min(first);
            r.Current_Max(i) = r.Current_Max(first);
          }
      }
      break;
    case 3: {  // s+d: local extrema of the displayed plane over the zoom window
      report(": using local min. and max. for scale");
      const auto& f = Display_Field;
      for (int i = 1; i <= n; ++i) {
        if (!r.Selected_Solutions(i)) continue;
        float lo = 0.0f, hi = 0.0f;
        bool any = false;
        for (int y = std::max(f.Zoom_Y_From, 1); y <= std::min(f.Zoom_Y_To, f.Display_Size_Y); ++y)
          for (int x = std::max(f.Zoom_X_From, 1); x <= std::min(f.Zoom_X_To, f.Display_Size_X); ++x) {
            const float v = f.Array_to_be_displayed(i, x, y);
            if (std::isnan(v)) continue;
            lo = any ? std::min(lo, v) : v;
            hi = any ? std::max(hi, v) : v;
            any = true;
          }
        if (std::fabs(hi - lo) < 1.0e-40f && std::fabs(hi) < 1.0e-40f) {
          lo = -5.0e-21f;
          hi = 5.0e-21f;
        }
        r.Current_Min(i) = lo;
        r.Current_Max(i) = hi;
      }
      CONSOLE_EMPTY();
      break;
    }
    case 4:  // s+g: global extrema, read again only when not known for all outputs
    case 5:  // s+f: global extrema, always read again
      if (code == 5 || r.Extrema_Mode != 1) {
        r.Extrema_Mode = 1;
        for (int i = 1; i <= n; ++i)
          if (r.Selected_Solutions(i))
            FIND_EXTREMA(false, i, Geometry_Unit + i, r.Computed_Min(i), r.Computed_Max(i));
      }
      report(": using global min. and max. for scale");
      for (int i = 1; i <= n; ++i)
        if (r.Selected_Solutions(i)) {
          r.Current_Min(i) = r.Computed_Min(i);
          r.Current_Max(i) = r.Computed_Max(i);
        }
      CONSOLE_EMPTY();
      break;
    default:
      break;
  }

  if (Display_Settings.Stepwise_Colour_Scale) reader_dialogs::SET_COLOUR_SCALE();
  const auto& v = Vector_Settings;
  auto selected = [&r, n](std::int32_t i) { return i >= 1 && i <= n && r.Selected_Solutions(i); };
  if (v.Vector_Mode != 0 && (selected(v.Vector_X_Component) || selected(v.Vector_Y_Component))) {
    Vector_Settings.Vector_Min_Intensity = 3.4028235e38f;
    Vector_Settings.Vector_Max_Intensity = -3.4028235e38f;
  }
  Command_State.Command_Code = 23;
}
