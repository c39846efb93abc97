// Write_Array: the raster table writer.
//
// Reads: the array passed. Writes: the named file (through Text_Output); the console only
// on failure. Changes no global record.

#include "probes/Write_Array.h"

#include "probes/Text_Output.h"
#include "text/Exponent_Field.h"

bool WRITE_ARRAY(const std::string& name, std::int32_t k, std::int32_t m, std::int32_t n, const float* a,
                 std::int64_t stride) {
  Text_Output file;
  if (!file.OPEN(name)) return false;
  const Exponent_Field field{15, 5, 2};
  for (std::int64_t y = 1; y <= n; y += k) {
    const float* row = a + (y - 1) * stride;
    APPEND_EXPONENT_FIELDS(file.BUFFER(), row, (m + k - 1) / k, k, field);
    file.END_LINE();
  }
  return file.CLOSE();
}
