#include "result.h"

namespace Commands {

Outcome outcomeOf(EditData::ReadError error)
{
    using EditData::ReadError;
    switch (error) {
    case ReadError::None:
        break;
    case ReadError::CannotOpen:
        return Outcome::CannotOpen;
    case ReadError::WrongSize:
        return Outcome::WrongSize;
    case ReadError::HeldElsewhere:
        return Outcome::HeldElsewhere;
    }
    return Outcome::Done;
}

Outcome outcomeOf(EditData::WriteError error)
{
    using EditData::WriteError;
    switch (error) {
    case WriteError::None:
        break;
    case WriteError::CannotOpen:
        return Outcome::CannotOpenForWriting;
    case WriteError::Failed:
        return Outcome::WriteFailed;
    }
    return Outcome::Done;
}

} // namespace Commands
