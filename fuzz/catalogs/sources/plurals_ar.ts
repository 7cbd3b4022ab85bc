<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ar">
<context>
    <name>QObject</name>
    <message numerus="yes"><source>%n day(s)</source><translation><numerusform>0</numerusform><numerusform>1</numerusform><numerusform>2</numerusform><numerusform>few</numerusform><numerusform>many</numerusform><numerusform>other</numerusform></translation></message>
</context>
</TS>
