// Layout numbers are in units of 1/96 inch; these turn them into pixels of a screen with `dpi` dots
// per inch and back. No Windows headers: built natively too.
#pragma once

// value * dpi / 96 and value * 96 / dpi, rounded to the nearest integer with ties to the even
// neighbour, in exact integer arithmetic (negatives too). A dpi of 0 or less leaves `value` as is.
int ScaleDpi(int value, int dpi);
int UnscaleDpi(int value, int dpi);
