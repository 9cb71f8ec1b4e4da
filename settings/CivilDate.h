// The registry's date form. No Windows headers: built natively too.
#pragma once

// Whole days since 30 December 1899 for a civil date (the registry's date form, no fraction).
double CivilDate(int year, int month, int day);
