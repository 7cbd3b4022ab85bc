<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de">
<dependencies><dependency catalog="a_de"/></dependencies>
<context>
    <name>QObject</name>
    <message><source>Loop</source><translation>Schleife</translation></message>
</context>
</TS>
