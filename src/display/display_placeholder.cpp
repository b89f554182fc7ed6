// Keeps the display library non-empty until its first sources land.
namespace roarmark {}
