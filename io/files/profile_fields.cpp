#include "io/files/profile_fields.h"

#include <iterator>

#include "model/input_records.h"

namespace {

#define QV_FIELD(name, kind) ProfileField{#name, ProfileKind::kind, offsetof(DataStruct, name)}
#define QV_CUSTOM(n)                                                                              \
  QV_FIELD(CustomName##n, kText), QV_FIELD(CustomInput##n, kText), QV_FIELD(CustomNum##n, kF32),  \
      QV_FIELD(CustomReserved##n, kU32)

const ProfileField kFields[] = {
    QV_FIELD(Time, kText),          QV_FIELD(TimeUnits, kF32),       QV_FIELD(PosX, kText),
    QV_FIELD(PosY, kText),          QV_FIELD(PosZ, kText),           QV_FIELD(GpsAcc, kText),
    QV_FIELD(GpsAccConv, kF32),     QV_FIELD(Lap, kText),            QV_FIELD(Speed, kText),
    QV_FIELD(SpeedConv, kF32),      QV_FIELD(Heading, kText),        QV_FIELD(HeadingAdjust, kF32),
    QV_FIELD(RPM, kText),           QV_FIELD(Gear, kText),           QV_FIELD(GForceX, kText),
    QV_FIELD(GForceY, kText),       QV_FIELD(LapX, kF64),            QV_FIELD(LapY, kF64),
    QV_FIELD(LapTolX, kF64),        QV_FIELD(LapTolY, kF64),         QV_FIELD(LapHeading, kF32),
    QV_FIELD(LapHeadTol, kF32),     QV_FIELD(LapManual, kU8),        QV_FIELD(HeadingFlip, kU8),
    QV_FIELD(IgnoreFirstLaps, kU8), QV_FIELD(BoostSampleRate, kU8),  QV_FIELD(CustomOp, kU8),
    QV_FIELD(CustomOp2, kU8),       QV_FIELD(CustomOp3, kU8),        QV_FIELD(CustomOp4, kU8),
    QV_FIELD(CustomName, kText),    QV_FIELD(CustomInput, kText),    QV_FIELD(CustomNum, kF32),
    QV_FIELD(CustomReserved, kU32), QV_CUSTOM(2),                    QV_CUSTOM(3),
    QV_CUSTOM(4),                   QV_FIELD(GearAdjust, kI8),       QV_FIELD(Reserved1, kBytes3),
    QV_FIELD(Reserved2, kU32),      QV_FIELD(Throttle, kText),
};

#undef QV_CUSTOM
#undef QV_FIELD

} // namespace

const ProfileField* ProfileFields(size_t* count) {
  *count = std::size(kFields);
  return kFields;
}
