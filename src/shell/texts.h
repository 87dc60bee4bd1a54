#pragma once

// Texts that more than one window shows.
namespace shell {

// The banner of every child window and the main frame's caption; the trailing blank
// belongs to it.
inline constexpr char kBanner[] = "Pelmar - Listora - Data Entry ";

// What the operator is told once a new row is stored, by the listing entry and by the
// lookup editors alike.
inline constexpr char kRecordInserted[] = "Rcord Successfully Inserted";

}  // namespace shell
