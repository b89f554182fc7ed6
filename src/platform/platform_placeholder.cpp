// Keeps the platform library non-empty until its first sources land.
namespace roarmark {}
