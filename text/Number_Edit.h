// Field editing of single items for the formatted output of text/Fortran_Format.h:
// texts (A), integers (I) and reals (F, E, ES, G). Used only inside text/.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "text/Fortran_Format.h"

// Modes that stay in force from descriptor to descriptor within one output statement.
struct Edit_Modes {
  int scale = 0;      // kP
  bool plus = false;  // SP
};

// Appends an A field: the text unchanged (width 0), else right-aligned in width, cut to its
// first width characters when longer.
void EDIT_TEXT(std::string& out, std::string_view text, int width);

// Appends an Iw or Iw.m field (minimum < 0: none); asterisks when the number does not fit.
void EDIT_INTEGER(std::string& out, std::int64_t value, int width, int minimum, bool plus);

// Appends an F, E, ES or G field of the descriptor; asterisks when the number does not fit.
void EDIT_REAL(std::string& out, double value, const Edit_Descriptor& field,
               const Edit_Modes& modes);
