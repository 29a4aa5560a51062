#pragma once
// Tests a text against a regular expression of the settings descriptions:
// true when the pattern matches anywhere in the text (patterns anchor
// themselves with ^ and $). The patterns are written for the scripting
// engine's syntax; the constructs that differ from ours ($ only at the very
// end, \uXXXX escapes) are translated. An invalid pattern answers false.

#include <QString>

bool RegexTest(const QString &pattern, const QString &text);
