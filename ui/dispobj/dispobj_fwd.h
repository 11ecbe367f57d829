#pragma once
// The widget classes the property window's panels and the gauge designer
// name in their headers, declared once for all of them (as <iosfwd> does).

class ChannelRangeRows;
class ColorElements;
class NSColorWellCustom;
class NSImageViewCustom;
class NSTextLabelCustom;
class NumberPair;
class OptionChecks;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGridLayout;
class QGroupBox;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QWidget;
class RealSlider;
class RealStepper;
class TextField;
