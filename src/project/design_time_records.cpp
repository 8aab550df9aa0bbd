#include "project/design_time_records.h"

CVantorixBuildSettings::CVantorixBuildSettings() {
    auto configuration = std::make_shared<CVantorixBuildConfiguration>();
    configuration->name = buildName;
    configurations.push_back(configuration);
}

void CVantorixBuildSettings::Serialize(CKXFieldVisitor& v) {
    v.Dword("version", version);
    v.String("outputFileName", outputFileName);
    v.Int("number1", number1);
    v.String("dataFolder", dataFolder);
    v.Int("number2", number2);
    v.Int("number3", number3);
    v.String("text1", text1);
    v.Int("number4", number4);
    v.Int("number5", number5);
    v.String("text2", text2);
    v.String("text3", text3);
    v.Int("number6", number6);
    v.Int("number7", number7);
    v.Int("number8", number8);
    v.String("text4", text4);
    v.String("text5", text5);
    v.Int("number9", number9);
    v.Int("number10", number10);
    v.String("buildName", buildName);
    v.Objects("configurations", configurations, "CVantorixBuildConfiguration");
}
