<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de">
<context>
    <name>QObject</name>
    <message>
        <source>Order</source>
        <translation>von Zeta</translation>
    </message>
    <message>
        <source>Both</source>
        <translation>Beide ohne Kommentar</translation>
    </message>
    <message>
        <source>Both</source>
        <comment>Both</comment>
        <translation>Beide mit Kommentar</translation>
    </message>
    <message>
        <source>Other</source>
        <comment>menu entry</comment>
        <translation>Anderes</translation>
    </message>
    <message>
        <source>Menu</source>
        <comment>menu bar</comment>
        <translation>Menü von Zeta</translation>
    </message>
    <message>
        <source>Unfinished</source>
        <translation type="unfinished">Unfertig</translation>
    </message>
    <message>
        <source>Unfinished empty</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>%n file(s)</source>
        <translation>
            <numerusform>%n Datei</numerusform>
            <numerusform>%n Dateien</numerusform>
        </translation>
    </message>
</context>
</TS>
