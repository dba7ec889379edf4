#pragma once

class DataGrid;
class TFrm_Data;

// Deleting customers: each with its visits, orders and complaints in a transaction of its
// own, so a customer goes whole or stays whole. Goods lines are kept.
class CustomerDeletion
{
public:
    // Deletes the customers selected in the grid (the current one when none is selected),
    // after the operator confirms. Nothing happens without a grid or without customers.
    static void DelCust(TFrm_Data &data, DataGrid *customerGrid);
};
