#include "settings/CivilDate.h"

double CivilDate(int year, int month, int day) {
    // Days from 1 March of year 0 in the proleptic Gregorian calendar, so leap days fall last.
    const int y = month <= 2 ? year - 1 : year;
    const int era = (y >= 0 ? y : y - 399) / 400;
    const int yearOfEra = y - era * 400;
    const int dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const int dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    const long days = static_cast<long>(era) * 146097 + dayOfEra;
    // 30 December 1899 is day 693899 of that count.
    return static_cast<double>(days - 693899);
}
