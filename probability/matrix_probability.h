#pragma once
// Menu module "4- Matrix Probability" (Statistics 4: Probability of
// events): how probable the real group's matrices H, I, D and DA, left by
// the event or team analysis in the working files, would be under chance.
// It draws random control groups of the group's size from a period and
// shows for every cell, row sum and total the percentage of control
// groups that reach the group: the tables on text page 3 (run log on page
// 6), the significance files, the significance pictures of H and I on
// graphic pages 5 and 6 and the bar charts of the row sums on pages 1 to 4
// (saved as group-H.bmp .. group-DA.bmp).
//
// A missing working file prints its line, pauses 2 s and ends the module;
// the program stays open.
void RunMatrixProbability();
