// Anchor of the resource library: the pictures themselves are compiled in by qt_add_resources.
namespace quorvanel_resources { int anchor = 0; }
