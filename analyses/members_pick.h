#pragma once
// The person selection list of the event analysis: the records of a table
// in a list box, from which the user picks the group's members by double
// click. The numbers of the chosen records (1-based, in the order picked)
// also stand in a line below the list, where they can be typed or edited
// ("3 7 12"); a batch run answers the dialog with such a line.
#include <string>
#include <vector>

#include "analyses/members.h"

// The caption of the list, and the question a batch script answers.
inline constexpr const char* kPickQuestion = "choose the members with double click left !!";

// One line of the list for a table record: "  12  Müller, Anna  3.4.1961 12:30  Dresden".
std::string PickListEntry(int number, const EventRecord& record);

// Record numbers from the chosen line: whole numbers 1..count, in order,
// each taken once; anything else is left out and named in `rejected`.
std::vector<int> ParsePickedNumbers(const std::string& line, int count, std::string& rejected);

// Shows the list of the table's live records and returns the 0-based
// live indexes of the members chosen: at most `wanted`; the list closes
// by itself when that many are picked, or with "OK" for fewer.
std::vector<int> PickMembers(qzXBase& table, const TableFieldMap& map, int wanted);
