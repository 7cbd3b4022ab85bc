<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de">
<dependencies><dependency catalog="c_de"/><dependency catalog="b_de_XX"/></dependencies>
<context>
    <name>QObject</name>
    <message><source>Meta</source><translation>Meta</translation></message>
</context>
</TS>
