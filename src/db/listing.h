#pragma once

#include <QString>
#include <QStringList>
#include <array>

namespace db {

// The columns of Data in their stored order; column k holds value k of a listing.
// One list gives both the names the code reads a listing by and the names the
// tables, the workbook and the Listings window carry.
#define PELMAR_DATA_COLUMNS(X)                                                                     \
    X(ListingState)                                                                                \
    X(PublicationName)                                                                             \
    X(PublicationDate) X(UnitNo) X(StreetNo) X(PropertyStreet) X(Suburb) X(PropertyType) X(        \
        SaleOrRent) X(AgencyName) X(StreetNoSuffix) X(StreetExt) X(StreetDirection) X(SaleType)    \
        X(PriceFrom) X(PriceTo) X(PriceDescription) X(AuctionDate) X(AuctionTime) X(               \
            AuctionLocation) X(Bedrooms) X(FloorAreaM2) X(Ensuites) X(Toilets) X(DiningRooms)      \
            X(LoungeDiningRooms) X(OtherRooms) X(LockupGarages) X(DistanceSchool) X(DistanceShops) \
                X(DistanceGolfCourse) X(UnitFloorLevel) X(UnitFloorLevels) X(Bathrooms)            \
                    X(LoungeRooms) X(StudyRooms) X(RumpusRooms) X(CarSpaces) X(BuildingFloors)     \
                        X(DistanceHospital) X(DistanceWater) X(YearBuilt) X(DoubleStorey)          \
                            X(ScenicView) X(PolishedFloors) X(SwimmingPool) X(HeritageClassified)  \
                                X(AccessSecurity) X(VendorWillTrade) X(Fireplace) X(DuctedVacuum)  \
                                    X(BeachFront) X(WaterFrontage) X(AirConditioned) X(OpenPlan)   \
                                        X(OffThePlan) X(LiftInstalled) X(NearPublicTransport)      \
                                            X(Renovated) X(DuctedHeating) X(GolfFront) X(          \
                                                AdditionalDetails) X(Agent1Agency)                 \
                                                X(Agent1FirstName) X(Agent1Surname) X(Agent1Phone) \
                                                    X(Agent2Agency) X(Agent2FirstName)             \
                                                        X(Agent2Surname) X(Agent2Phone)            \
                                                            X(Agent3Agency) X(Agent3FirstName)     \
                                                                X(Agent3Surname) X(Agent3Phone)    \
                                                                    X(DetailPublicationName)       \
                                                                        X(DetailPublicationDate)

enum class Column : int {
#define PELMAR_ENUM(name) name,
    PELMAR_DATA_COLUMNS(PELMAR_ENUM)
#undef PELMAR_ENUM
};

inline constexpr int kColumnCount = int(Column::DetailPublicationDate) + 1;

// A column by its position, and the position of one a given number of places later.
constexpr Column operator+(Column column, int places) {
    return Column(int(column) + places);
}

// One advertisement, from the first entry window to the stored row: its 76 values
// (a null text until first written) and the token of its submit. The token names
// this one listing until its row is known to be stored, so that a submit made again
// after one whose outcome was unknown finds the row it stored.
class Listing {
public:
    const QString& operator[](Column column) const { return values_.at(std::size_t(column)); }
    QString& operator[](Column column) { return values_.at(std::size_t(column)); }

    // Writes the values into the columns from `first` on, in order.
    void assign(Column first, const QStringList& values);
    // The values in column order.
    QStringList values() const;
    static Listing fromValues(const QStringList& values);

    QString token;

private:
    std::array<QString, kColumnCount> values_;
};

}  // namespace db
