#pragma once

// The database-wide setting whether the users' rights guard what they name,
// kept in Zomi's own table jogosultsag: on in every database made from
// db/schema.sql, off in one without the table (a database the Windows
// clients made), until an administrator switches it on.

namespace zomi {

// Reads the setting on the main connection; false when the table is missing.
// Other database errors reach the caller.
bool ReadRightsEnforced();

// Stores the setting, creating the table first where it is missing.
void StoreRightsEnforced(bool enforced);

}  // namespace zomi
