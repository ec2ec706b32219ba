// The grid's default ordering of two cells for sorting.
#pragma once

class CGridCellValue;

// 1 when `cell1` sorts after `cell2`, 0 equal, -1 before. A null cell is a
// missing one and sorts last whatever the direction; flags bit 2 is descending.
// Numbers, currencies and type 3 compare by value; everything else by text in
// byte order, where a cell without text sorts after one with text and two
// cells without text are equal (so the order is a proper one for any sort).
int SheetGridCompareCells(CGridCellValue* cell1, CGridCellValue* cell2, int flags);
