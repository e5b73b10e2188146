#pragma once
// The one raise of the attribute objects' own error:
// qvErrorFrom<qvAttributeBase> "Attribute object has no palette".

[[noreturn]] void qvRaiseNoAttributePalette();
