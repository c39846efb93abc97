// Text_Field: one text field of a form, as the forms edit it and their callers preset it.
#pragma once

#include <cstddef>
#include <string>

// A form's text field: the value (no padding) and the number of characters the field holds.
struct Text_Field {
  std::string text;
  std::size_t length = 0;
};
