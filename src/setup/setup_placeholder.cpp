// Keeps the setup library non-empty until the setup dialog lands.
namespace roarmark {}
