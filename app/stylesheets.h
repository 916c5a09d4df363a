#pragma once

// The main window's style sheets, each written once.
namespace StyleSheet {

// The round KIVO and SSU lights. The lights start red with their own text,
// a space before the closing brace, as they always have.
constexpr const char *IndicatorAtStart = "QLabel { border-radius: 10px; background-color: red; color: white; }";
constexpr const char *IndicatorOn = "QLabel { border-radius: 10px; background-color: green; color: white;}";
constexpr const char *IndicatorOff = "QLabel { border-radius: 10px; background-color: red; color: white;}";

// A factory value's button: green once the module holds the value, red
// while it is unset.
constexpr const char *ValueSet = "background-color:green; color:white;";
constexpr const char *ValueUnset = "background-color:red; color:white;";
inline const char *valueButton(bool set) { return set ? ValueSet : ValueUnset; }

// The read-out button follows the link.
constexpr const char *ReadButtonOn = "background-color:DarkGreen; color:white;";
constexpr const char *ReadButtonOff = "background-color:white; color:Gray;";

// The buttons that erase data in the module.
constexpr const char *Erasing = "background-color:LightPink;";

} // namespace StyleSheet
