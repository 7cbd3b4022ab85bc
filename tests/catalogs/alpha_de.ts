<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de">
<context>
    <name>QObject</name>
    <message>
        <source>Order</source>
        <translation>von alpha</translation>
    </message>
    <message>
        <source>Menu</source>
        <comment>Menu</comment>
        <translation>Menü von alpha</translation>
    </message>
</context>
</TS>
