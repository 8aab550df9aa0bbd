#pragma once

// The password that protects every entry of a data file; the publishing side must use the same.
inline constexpr char archivePassword[] = "Vx7rQ2mK9pL4tW8nZ3";
static_assert(sizeof(archivePassword) == 19, "the archive password has 18 characters");
