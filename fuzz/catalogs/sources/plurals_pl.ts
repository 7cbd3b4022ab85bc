<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="pl">
<context>
    <name>QObject</name>
    <message numerus="yes"><source>%n day(s)</source><translation><numerusform>1</numerusform><numerusform>few</numerusform></translation></message>
</context>
</TS>
