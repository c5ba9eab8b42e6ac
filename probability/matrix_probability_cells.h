#pragma once
// cells.csv: every value of the matrix probability's four tables with its
// tests, one record per value in the report's order, for analysis in other
// programs. RFC 4180: a header record, comma-separated fields, records
// ended by CR LF, a field quoted only where it holds a comma, a quote or
// a line break. Numbers are "%.17g" (they read back to the same double);
// a value that is not defined (q and adjusted p outside the family, z
// where the control groups do not vary) is an empty field.
#include <string>

#include "probability/family_tests.h"

inline constexpr const char* kCellsCsvName = "cells.csv";
inline constexpr const char* kCellsCsvHeader =
    "matrix,row,column,group_value,control_mean,control_sd,z,count_ge,count_le,groups,percent,"
    "percent_ci_low,percent_ci_high,p_value,q_value,p_adjusted,mark,in_family";

// The whole file's bytes.
std::string CellsCsv(const FamilyTests& tests);
// Writes cells.csv in the working folder, whole or not at all; false (with
// the line "\n cells.csv could not be written \n" on the current text
// page) when it cannot be written.
bool WriteCellsCsv(const FamilyTests& tests);
