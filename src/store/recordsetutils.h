#pragma once

// Small helpers around recordsets that many parts of the library share.

#include <QtCore/QString>

#include <memory>

namespace lg {

namespace dao {
class Recordset;
}

// True when the recordset exists, is open and stands on a row (neither at
// BOF nor at EOF).
bool HasRecords(const std::shared_ptr<dao::Recordset>& rs);

// Opens `sql` (Jet SQL) on the library-wide database. On failure `rs` is
// left empty and false is returned; the failure is not raised.
bool OpenRecordsetChecked(std::shared_ptr<dao::Recordset>& rs, const QString& sql);

}  // namespace lg
