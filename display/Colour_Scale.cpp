// Colour_Scale: colour tables from the colour-scale settings, and the commands c+... that
// change those settings (codes 6 to 17).
//
// Reads:   Display_Settings (colour-scale fields), Result_Set (Current_Min, Current_Max of
//          result 1), Isoline_Data (Isoline_Number, Isoline_values of result 1),
//          Command_State (Command_Code, Colour_Scale_Choice, GUI_Active, Cursor_X/Y).
// Writes:  the selected plotting device's colour table; COLOUR_SCALE also the colour-scale
//          fields of Display_Settings, Cursor_X/Y (code 9) and Command_Code (23).
//
// The table is one function of the settings (COLOUR_TABLE_OF_SETTINGS); SET_COLOUR_SCALE
// only installs it. Step counts are worked out in double and held to the device's image
// colour indices, so no range or typed count can ask for a giant table.

#include "display/Colour_Scale.h"

#include <cpgplot.h>

#include <algorithm>  // std::clamp, std::min, std::reverse
#include <cmath>      // std::isfinite, std::isnan, std::trunc
#include <random>     // std::mt19937, std::seed_seq
#include <span>
#include <string>

#include "display/Tools_Graphical.h"
#include "records/Command_Codes.h"
#include "records/Console.h"
#include "records/Globals.h"
#include "records/Toggle_Boolean.h"
#include "text/Fortran_Format.h"
#include "text/Free_Form.h"

namespace {

constexpr std::int32_t Colour_Cube_Scale = -1;  // set by the RGB-triangle and Miller modes
constexpr std::int32_t Last_Scale = 11;
constexpr std::int32_t Default_Steps = 10;
constexpr int Skipped_Random_Numbers = 666;

// ---------------------------------------------------------------- built-in tables
constexpr Colour_Point Scale_1[] = {{0.0f, 0.0f, 0.0f, 0.9f},  {0.15f, 0.5f, 0.0f, 0.7f},
                                    {0.3f, 0.8f, 0.0f, 0.2f},  {0.45f, 0.95f, 0.0f, 0.0f},
                                    {0.6f, 1.0f, 0.33f, 0.0f}, {0.8f, 1.0f, 0.9f, 0.17f},
                                    {1.0f, 1.0f, 1.0f, 0.8f}};
constexpr Colour_Point Scale_2[] = {{0.0f, 0.0f, 0.0f, 0.0f}, {1.0f, 1.0f, 1.0f, 1.0f}};
constexpr Colour_Point Scale_3[] = {{0.0f, 0.75f, 0.75f, 1.0f}, {1.0f, 0.1f, 0.1f, 0.5f}};
constexpr Colour_Point Scale_4[] = {{0.0f, 0.0f, 0.0f, 0.0f}, {0.2f, 0.5f, 0.0f, 0.0f},
                                    {0.4f, 1.0f, 0.5f, 0.0f}, {0.6f, 1.0f, 1.0f, 0.3f},
                                    {1.0f, 1.0f, 1.0f, 1.0f}};
constexpr Colour_Point Scale_5[] = {{-0.5f, 0.0f, 0.0f, 0.0f}, {0.0f, 0.0f, 0.0f, 0.3f},
                                    {0.17f, 0.0f, 0.0f, 0.8f}, {0.33f, 0.0f, 1.0f, 1.0f},
                                    {0.5f, 0.6f, 1.0f, 0.3f},  {0.67f, 1.0f, 1.0f, 0.0f},
                                    {0.83f, 1.0f, 0.6f, 0.0f}, {1.0f, 1.0f, 0.0f, 0.0f},
                                    {1.7f, 1.0f, 1.0f, 1.0f}};
// Ten flat bands of 0.1, two points of one colour each.
constexpr Colour_Point Scale_6[] = {
    {0.0f, 0.0f, 0.0f, 0.0f}, {0.1f, 0.0f, 0.0f, 0.0f}, {0.1f, 0.3f, 0.3f, 0.3f}, {0.2f, 0.3f, 0.3f, 0.3f},
    {0.2f, 0.5f, 0.0f, 0.7f}, {0.3f, 0.5f, 0.0f, 0.7f}, {0.3f, 0.0f, 0.0f, 0.7f}, {0.4f, 0.0f, 0.0f, 0.7f},
    {0.4f, 0.0f, 0.8f, 0.9f}, {0.5f, 0.0f, 0.8f, 0.9f}, {0.5f, 0.0f, 0.6f, 0.0f}, {0.6f, 0.0f, 0.6f, 0.0f},
    {0.6f, 0.0f, 1.0f, 0.0f}, {0.7f, 0.0f, 1.0f, 0.0f}, {0.7f, 1.0f, 1.0f, 0.0f}, {0.8f, 1.0f, 1.0f, 0.0f},
    {0.8f, 1.0f, 0.8f, 0.0f}, {0.9f, 1.0f, 0.8f, 0.0f}, {0.9f, 1.0f, 0.0f, 0.0f}, {1.0f, 1.0f, 0.0f, 0.0f}};
constexpr Colour_Point Scale_7[] = {{0.0f, 0.0f, 0.0f, 0.0f}, {0.33f, 1.0f, 0.5f, 0.0f},
                                    {0.66f, 0.0f, 0.4f, 0.0f}, {1.0f, 0.0f, 1.0f, 0.0f}};
constexpr Colour_Point Scale_8[] = {{0.0f, 0.0f, 0.0f, 0.0f},   {0.5f, 1.0f, 0.5f, 0.0f},
                                    {0.5f, 0.0f, 0.4f, 0.0f},   {0.7f, 0.0f, 1.0f, 0.0f},
                                    {0.7f, 0.3f, 0.0f, 0.4f},   {0.85f, 0.8f, 0.0f, 1.0f},
                                    {0.85f, 0.3f, 0.2f, 0.0f},  {0.95f, 1.0f, 0.7f, 0.0f},
                                    {0.95f, 1.0f, 1.0f, 0.95f}, {1.0f, 1.0f, 1.0f, 1.0f}};
constexpr Colour_Point Scale_11[] = {{0.0f, 0.25f, 0.0f, 0.25f}, {1.0f, 1.0f, 0.0f, 1.0f}};

// Scales 9 and 10 take their levels from the isolines of result 1; these are their colours
// (the level field is unused).
constexpr Colour_Point Scale_9_Colours[] = {
    {0, 0.0f, 0.0f, 0.35f}, {0, 0.0f, 0.0f, 1.0f},   {0, 0.3f, 0.0f, 0.4f},   {0, 0.8f, 0.0f, 1.0f},
    {0, 0.25f, 0.0f, 0.05f}, {0, 1.0f, 0.0f, 0.05f}, {0, 0.5f, 0.1f, 0.05f},  {0, 1.0f, 0.25f, 0.0f},
    {0, 1.0f, 0.75f, 0.25f}, {0, 1.0f, 1.0f, 0.75f}, {0, 0.0f, 0.25f, 0.0f},  {0, 0.0f, 0.75f, 0.0f},
    {0, 0.0f, 0.25f, 0.8f}, {0, 0.0f, 1.0f, 1.0f},   {0, 0.0f, 0.0f, 0.0f},   {0, 1.0f, 1.0f, 1.0f},
    {0, 0.1f, 0.25f, 0.25f}, {0, 0.1f, 0.5f, 0.25f}, {0, 0.55f, 0.25f, 0.55f}, {0, 0.55f, 0.5f, 0.55f},
    {0, 0.75f, 0.25f, 0.25f}, {0, 1.0f, 0.25f, 0.25f}};
constexpr Colour_Point Scale_10_Colours[] = {
    {0, 0.0f, 0.0f, 0.0f}, {0, 0.0f, 0.0f, 0.0f},   {0, 0.0f, 0.0f, 0.9f}, {0, 0.5f, 0.0f, 0.7f},
    {0, 0.8f, 0.0f, 0.2f}, {0, 0.95f, 0.0f, 0.0f},  {0, 1.0f, 0.33f, 0.0f}, {0, 1.0f, 0.9f, 0.17f},
    {0, 1.0f, 1.0f, 0.8f}, {0, 1.0f, 1.0f, 1.0f},   {0, 1.0f, 1.0f, 1.0f}};

// Built-in tables by scale number 1..11; 9 and 10 are made from the isolines.
constexpr std::span<const Colour_Point> Colour_Scale_Tables[] = {
    Scale_1, Scale_2, Scale_3, Scale_4, Scale_5, Scale_6, Scale_7, Scale_8, {}, {}, Scale_11};

// ---------------------------------------------------------------- level scales 9 and 10
// The isoline values of result 1, largest first; empty when it has none.
std::vector<float> isolines_of_result_1() {
  const auto& iso = Isoline_Data;
  if (Result_Set.Number_Of_Solutions < 1 || !iso.Isoline_Number.ALLOCATED() || !iso.Isoline_values.ALLOCATED())
    return {};
  const std::int64_t n = std::min<std::int64_t>(iso.Isoline_Number(1), iso.Isoline_values.UPPER(1));
  std::vector<float> values;
  for (std::int64_t j = 1; j <= n; ++j) values.push_back(iso.Isoline_values(1, j));
  return values;
}

// A value as a level between the colour-scale limits of result 1, clamped to [0, 1];
// equal limits (0/0) give 0.
float normalised(float value) {
  const auto& r = Result_Set;
  const bool limits = r.Number_Of_Solutions >= 1 && r.Current_Min.ALLOCATED() && r.Current_Max.ALLOCATED();
  const double lo = limits ? r.Current_Min(1) : 0.0;
  const double hi = limits ? r.Current_Max(1) : 0.0;
  const double level = (value - lo) / (hi - lo);
  if (std::isnan(level)) return 0.0f;
  return static_cast<float>(std::clamp(level, 0.0, 1.0));
}

// Puts the colours on the levels: point i takes colour i.
std::vector<Colour_Point> coloured(const std::vector<float>& levels, std::span<const Colour_Point> colours) {
  std::vector<Colour_Point> points(levels.size());
  for (std::size_t i = 0; i < levels.size(); ++i) points[i] = {levels[i], colours[i].red, colours[i].green, colours[i].blue};
  return points;
}

// Scale 9: each isoline value of result 1 (at most ten) a sharp boundary between two colours.
std::vector<Colour_Point> user_level_scale() {
  const std::vector<float> values = isolines_of_result_1();
  if (values.empty()) {
    std::vector<float> User_Level(22);
    for (int i = 1; i <= 21; ++i) User_Level[i - 1] = static_cast<float>(i / 2) / 11.0f;
    User_Level[21] = 0.95f;
    return coloured(User_Level, Scale_9_Colours);
  }
  const std::size_t nc = std::min<std::size_t>(2 * values.size() + 2, 22);
  std::vector<float> User_Level(nc, 0.0f);
  for (std::size_t j = 1; j <= std::min<std::size_t>(values.size(), 10); ++j)
    User_Level[2 * j - 1] = User_Level[2 * j] = values[j - 1];
  std::reverse(User_Level.begin(), User_Level.end());
  for (float& level : User_Level) level = normalised(level);
  User_Level.front() = 0.0f;
  User_Level.back() = 0.95f;
  return coloured(User_Level, Scale_9_Colours);
}

// Scale 10: the nine largest isoline values of result 1 as levels of a ramp.
std::vector<Colour_Point> isoline_level_scale() {
  const std::vector<float> values = isolines_of_result_1();
  if (values.empty()) {
    const std::vector<float> AViso_Level{0.0f, 0.0f, 0.0f, 0.15f, 0.3f, 0.45f, 0.6f, 0.8f, 1.0f, 1.0f, 1.0f};
    return coloured(AViso_Level, Scale_10_Colours);
  }
  const std::size_t nc = std::min<std::size_t>(values.size() + 2, 11);
  const std::size_t m = std::min(values.size(), nc - 2);
  std::vector<float> AViso_Level(nc, 0.0f);
  for (std::size_t j = 1; j <= m; ++j) AViso_Level[j] = values[j - 1];
  AViso_Level[m + 1] = values[m - 1];
  std::reverse(AViso_Level.begin(), AViso_Level.end());
  for (float& level : AViso_Level) level = normalised(level);
  AViso_Level.front() = 0.0f;
  AViso_Level.back() = 1.0f;
  return coloured(AViso_Level, Scale_10_Colours);
}

// The 6 x 6 x 6 colour cube: red fastest, so that red + 6 green + 36 blue is the index.
std::vector<Colour_Point> Colour_Cube() {
  std::vector<Colour_Point> cube(216);
  for (int k = 0; k < 216; ++k)
    cube[k] = {k / 215.0f, (k % 6) / 5.0f, ((k / 6) % 6) / 5.0f, (k / 36) / 5.0f};
  return cube;
}

// The base table of a scale number; empty when the number names none.
std::vector<Colour_Point> base_table(std::int32_t scale) {
  if (scale == 9) return user_level_scale();
  if (scale == 10) return isoline_level_scale();
  if (scale < 1 || scale > Last_Scale) return {};
  const auto table = Colour_Scale_Tables[scale - 1];
  return {table.begin(), table.end()};
}

// The copy of the base table that the stepwise table reads; empty while it is off.
std::vector<Colour_Point> CTN_COPY_COLOUR_SCALE_SETTINGS(const std::vector<Colour_Point>& base) {
  if (!Display_Settings.Stepwise_Colour_Scale) return {};
  return base;
}

// ---------------------------------------------------------------- stepwise table
// Number of steps: the typed count or the range of result 1 cut to a whole number; NaN,
// infinite or below 1 gives 10; at most the device's image colours.
std::int32_t step_count(std::int32_t image_colours) {
  const auto& d = Display_Settings;
  const auto& r = Result_Set;
  double n = d.Number_Of_Steps;
  if (d.Automatic_Steps) {
    const bool limits = r.Number_Of_Solutions >= 1 && r.Current_Min.ALLOCATED() && r.Current_Max.ALLOCATED();
    n = limits ? std::trunc(static_cast<double>(r.Current_Max(1)) - r.Current_Min(1)) : NAN;
  }
  if (!std::isfinite(n) || n < 1.0) n = Default_Steps;
  return static_cast<std::int32_t>(std::min(n, static_cast<double>(std::max(image_colours, 1))));
}

// The base colour at level k/n: the first point whose level reaches it, interpolated
// from the point before it; the last point's colour when none reaches it or the last
// point does. A two-point scale is interpolated on its one segment too: it would else give
// every step one colour.
Colour_Point base_colour(const std::vector<Colour_Point>& base, std::int32_t k, std::int32_t n) {
  const std::size_t nc = base.size();
  const float fk = static_cast<float>(k), fn = static_cast<float>(n);
  std::size_t i = 0;
  for (std::size_t p = 1; p <= nc && i == 0; ++p)
    if (base[p - 1].level * fn >= fk) i = p;
  if (i == 0) return base.back();
  const Colour_Point& upper = base[i - 1];
  if (i == 1 || (i == nc && nc > 2)) return upper;
  const Colour_Point& lower = base[i - 2];
  float t = (upper.level - fk / fn) / (upper.level - lower.level);
  t = std::isnan(t) ? 0.0f : std::clamp(t, 0.0f, 1.0f);
  return {0.0f, upper.red - (upper.red - lower.red) * t, upper.green - (upper.green - lower.green) * t,
          upper.blue - (upper.blue - lower.blue) * t};
}

// Flat steps: each step the colour of its upper end in the base table, or a random one.
std::vector<Colour_Point> stepwise_table(const std::vector<Colour_Point>& Current_Settings, std::int32_t image_colours) {
  const auto& d = Display_Settings;
  const std::int32_t n = step_count(image_colours);
  // Our own generator, reseeded at every reload: the same seed gives the same colours on
  // every build. Shares are made from its raw 32-bit output (24 bits, [0, 1)).
  std::seed_seq Seeds{d.Random_Seed, d.Random_Seed};
  std::mt19937 generator(Seeds);
  generator.discard(Skipped_Random_Numbers);
  auto uniform = [&generator] { return static_cast<float>(generator() >> 8) * (1.0f / 16777216.0f); };

  std::vector<Colour_Point> Stepwise_Scale(2 * static_cast<std::size_t>(n));
  for (std::int32_t k = 1; k <= n; ++k) {
    Colour_Point colour;
    if (d.Random_Steps) {
      colour.red = uniform();
      colour.green = uniform();
      colour.blue = uniform();
    } else {
      colour = base_colour(Current_Settings, k, n);
    }
    const float lower = k == 1 ? 0.0f : static_cast<float>(k - 1) / static_cast<float>(n);
    const float upper = k == n ? 1.0f : static_cast<float>(k) / static_cast<float>(n);
    Stepwise_Scale[2 * k - 2] = {lower, colour.red, colour.green, colour.blue};
    Stepwise_Scale[2 * k - 1] = {upper, colour.red, colour.green, colour.blue};
  }
  return Stepwise_Scale;
}

// ---------------------------------------------------------------- commands
// Says that random colours show only on a stepwise scale.
void random_warning() {
  const auto& d = Display_Settings;
  if (!d.Random_Steps || d.Stepwise_Colour_Scale) return;
  CONSOLE_EMPTY();
  CONSOLE_LINE(" Warning: 'random' colour scale only active with 'stepwise'!");
  CONSOLE_EMPTY();
}

// A 20-character answer field holding text.
std::string answer_field(const std::string& text) {
  std::string field = text;
  field.resize(20, ' ');
  return field;
}

// Code 14: asks until the answer reads as a whole number; the current count is shown when above 0.
void ask_number_of_steps() {
  auto& d = Display_Settings;
  std::int32_t steps = 0;
  for (;;) {
    std::string answer = answer_field(d.Number_Of_Steps > 0 ? FORMAT_LINE("(I5)", {std::int64_t{d.Number_Of_Steps}}) : "");
    INPUT_STRING("Set number of steps", "Steps:", answer);
    if (READ_INTEGER_FROM_TEXT(answer, steps) == Free_Form_Status::Ok) break;
  }
  d.Number_Of_Steps = steps;
}

// Code 17: asks until the answer reads as a whole number; a refused answer is shown again.
void ask_random_seed() {
  auto& d = Display_Settings;
  std::string answer = answer_field(std::to_string(d.Random_Seed));
  std::int32_t seed = 0;
  for (;;) {
    INPUT_STRING("'Seed' for 'random colour scale'", "'Seed':", answer);
    if (READ_INTEGER_FROM_TEXT(answer, seed) == Free_Form_Status::Ok) break;
  }
  d.Random_Seed = seed;
}

// Code 9: brightness across and contrast up, from a position in the window 0..1 x 0..10 on
// the current viewport. A key's position is carried over from the window it was read in.
void contrast_and_brightness() {
  int device = 0;
  cpgqid(&device);
  if (device <= 0) return;
  auto& c = Command_State;
  float x1, x2, y1, y2;
  cpgqwin(&x1, &x2, &y1, &y2);
  cpgswin(0.0f, 1.0f, 0.0f, 10.0f);
  float wx1, wx2, wy1, wy2;
  cpgqwin(&wx1, &wx2, &wy1, &wy2);
  if (c.GUI_Active) {
    float x = c.Cursor_X, y = c.Cursor_Y;
    char key = 0;
    if (cpgband(7, 0, 0.0f, 0.0f, &x, &y, &key) != 1) return;
    c.Cursor_X = x;
    c.Cursor_Y = y;
  } else {
    auto carried = [](float v, float a, float b, float na, float nb) {
      return b == a ? na : na + (v - a) / (b - a) * (nb - na);
    };
    c.Cursor_X = carried(c.Cursor_X, x1, x2, wx1, wx2);
    c.Cursor_Y = carried(c.Cursor_Y, y1, y2, wy1, wy2);
  }
  auto& d = Display_Settings;
  d.Brightness = std::clamp(c.Cursor_X, std::min(wx1, wx2), std::max(wx1, wx2));
  d.Contrast = std::clamp(c.Cursor_Y, std::min(wy1, wy2), std::max(wy1, wy2));
}

}  // namespace

Colour_Table COLOUR_TABLE_OF_SETTINGS(std::int32_t image_colours) {
  const auto& d = Display_Settings;
  Colour_Table table;
  table.contrast = d.Scale_Sign * d.Contrast;
  table.brightness = d.Brightness;
  if (d.Colour_Scale_Number == Colour_Cube_Scale) {
    table.install = true;
    table.points = Colour_Cube();
    return table;
  }
  const std::vector<Colour_Point> base = base_table(d.Colour_Scale_Number);
  if (base.empty()) return table;
  table.install = true;
  table.cut_off = d.Cut_Off;
  const std::vector<Colour_Point> Current_Settings = CTN_COPY_COLOUR_SCALE_SETTINGS(base);
  if (Current_Settings.empty()) {
    table.points = base;
    return table;
  }
  // The stepwise table is never inverted: the sign waits until the stepwise scale is off.
  table.contrast = d.Contrast;
  table.points = stepwise_table(Current_Settings, image_colours);
  return table;
}

void SET_COLOUR_SCALE() {
  int device = 0;
  cpgqid(&device);
  if (device <= 0) return;
  int lowest = 0, highest = -1;
  cpgqcir(&lowest, &highest);
  const Colour_Table table = COLOUR_TABLE_OF_SETTINGS(highest - lowest + 1);
  if (!table.install) return;
  const std::size_t nc = table.points.size();
  std::vector<float> level(nc), red(nc), green(nc), blue(nc);
  for (std::size_t i = 0; i < nc; ++i) {
    level[i] = table.points[i].level;
    red[i] = table.points[i].red;
    green[i] = table.points[i].green;
    blue[i] = table.points[i].blue;
  }
  cpgctab(level.data(), red.data(), green.data(), blue.data(), static_cast<int>(nc), table.contrast, table.brightness);
  if (table.cut_off && highest >= lowest) {
    cpgscr(lowest, 0.0f, 0.0f, 0.0f);
    cpgscr(highest, 0.95f, 0.95f, 0.95f);
  }
}

void COLOUR_SCALE() {
  auto& d = Display_Settings;
  auto& c = Command_State;
  switch (c.Command_Code) {
    case Command::Select_Colour_Scale:
      // A number without a scale changes nothing: kept, it would leave every device opened
      // later without a table and the next and previous scales steps away.
      if (c.Colour_Scale_Choice >= 1 && c.Colour_Scale_Choice <= Last_Scale) d.Colour_Scale_Number = c.Colour_Scale_Choice;
      break;
    case Command::Next_Colour_Scale:
      d.Colour_Scale_Number = d.Colour_Scale_Number + 1 > Last_Scale ? 1 : d.Colour_Scale_Number + 1;
      break;
    case Command::Previous_Colour_Scale:
      d.Colour_Scale_Number = d.Colour_Scale_Number - 1 <= 0 ? Last_Scale : d.Colour_Scale_Number - 1;
      break;
    case Command::Contrast_Brightness:
      contrast_and_brightness();
      break;
    case Command::Reset_Contrast_Brightness:
      d.Contrast = 1.0f;
      d.Brightness = 0.5f;
      break;
    case Command::Inverse_Colour_Scale:
      d.Scale_Sign = -d.Scale_Sign;
      break;
    case Command::Cut_Off_Colours:
      TOGGLE_BOOLEAN(d.Cut_Off, "Cutting off of minimum and maximum on", "Cutting off of minimum and maximum off");
      break;
    case Command::Stepwise_Colour_Scale:
      TOGGLE_BOOLEAN(d.Stepwise_Colour_Scale, "'Stepwise' colour scale on", "'Stepwise' colour scale off");
      break;
    case Command::Number_Of_Steps:
      ask_number_of_steps();
      d.Stepwise_Colour_Scale = true;
      d.Automatic_Steps = false;
      break;
    case Command::Automatic_Steps:
      TOGGLE_BOOLEAN(d.Automatic_Steps, "Automatic number of steps for 'Stepwise' colour scale on",
                     "Automatic number of steps for 'Stepwise' colour scale off");
      break;
    case Command::Random_Colours:
      TOGGLE_BOOLEAN(d.Random_Steps, "'Random colour scale' on", "'Random colour scale' off");
      random_warning();
      break;
    case Command::Random_Seed:
      random_warning();
      ask_random_seed();
      break;
    default:
      CONSOLE_LINE(" COLOUR_SCALE: unknown command code " + std::to_string(c.Command_Code));
      return;
  }
  SET_COLOUR_SCALE();
  c.Command_Code = Command::Replot;
}
