// Extrema: extrema of the result files for the colour scales.
//
// Reads:   Result_Set (Result_Format, Sequential_Reading, Extrema_Mode, Global_Minimum,
//          Global_Maximum, Buffer_Array_*), Result_Geometry; the result units.
// Writes:  Command_State.Time_Step_Command, Result_Set (Time_Step_Number,
//          Total_Time_Steps and Buffer_Array_* through READ_OUTPUT).

#include "result_files/Extrema.h"

#include <cmath>  // std::fabs, std::isnan
#include <cstdint>

#include "main/Console.h"
#include "main/Globals.h"
#include "result_files/Input_Layer.h"
#include "result_files/Read_Results.h"

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
